#pragma once

#include <QString>

#include <filesystem>

namespace tilvane {

// What a save panel shows: its title, the file it proposes (a folder, none for the panel's own, and a
// name with its extension) and the one file type it lists. A name typed without an extension gets
// `defaultSuffix`.
struct SavePanel {
    QString title;
    std::filesystem::path proposedFile;
    QString nameFilter;
    QString defaultSuffix;

    friend bool operator==(const SavePanel&, const SavePanel&) = default;
};

// The export panels, proposing `proposedStem` ("…/foto-tilvane") with the format's extension.
SavePanel pngSavePanel(std::filesystem::path proposedStem);
SavePanel gifSavePanel(std::filesystem::path proposedStem);
// The panel of a preset document, proposing "tilvane-preset.json".
SavePanel presetSavePanel();

}  // namespace tilvane
