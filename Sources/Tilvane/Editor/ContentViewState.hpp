#pragma once

#include "Tilvane/Editor/PresetSelection.hpp"
#include "TilvaneCore/Image.hpp"
#include "TilvaneCore/ImagePalette.hpp"
#include "TilvaneCore/Uuid.hpp"
#include "TilvanePresets/LastSession.hpp"
#include "TilvanePresets/PersonalPreset.hpp"
#include "TilvanePresets/VisualSettings.hpp"
#include "VemiTerminal/Theme/VTAppearance.hpp"

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tilvane {

// Whether the preset-name sheet creates a new preset or renames the selected one.
enum class NameDialogMode { create, rename };

// Whether the window's scene is in front: active while the application is active and the window
// is visible and not minimised.
enum class ScenePhase { active, inactive, background };

// The look of a new window and of the sample picture: Game Boy, 8-pixel blocks, no dithering,
// no shader, neutral screen effects and adjustments.
inline VisualSettings initialVisualSettings()
{
    VisualSettings visual;
    visual.paletteID = ImagePalette::gameBoy().id;
    visual.pixelSize = 8;
    return visual;
}

// Everything one editor window shows, as plain values. Images are shared and never change;
// two states are equal when their fields are (images by identity). The window's jobs are not
// part of it: they live in ContentView's job slots.
struct ContentViewState {
    ImagePointer source;                                        // the loaded picture
    ImagePointer pixelGrid;                                     // one pixel per block
    ImagePointer shaderImage;                                   // the shader-rendered preview
    PresetSelection shaderID;                                   // built-in preset id, or "personal:" + UUID
    VisualSettings visual = initialVisualSettings();            // every visual setting of the picture
    ImagePointer shaderPreviewBase;                             // the grid enlarged to at most 960 px
    float shaderFrameTime = 0;                                  // time of the last shader frame
    std::map<std::string, ImagePointer> shaderThumbnails;       // built-in preset thumbnails by preset id
    ImagePointer screenThumbnail;                               // the gallery's base preview
    std::unordered_map<Uuid, ImagePointer> personalThumbnails;  // personal preset thumbnails by id
    bool isShaderProcessing = false;
    std::string sourceName;                          // file name, or the sample's name
    std::optional<std::filesystem::path> sourceURL;  // nothing for the sample
    std::optional<LastSession> restoredSession;      // read at construction, until the start consumes it
    bool didStart = false;
    std::vector<PersonalPreset> personalPresets;
    bool presetStoreAvailable = false;
    std::optional<std::string> pendingSelection;
    bool showingUnsavedAlert = false;
    bool showingNameDialog = false;
    bool showingDeleteAlert = false;
    std::optional<PersonalPreset> presetPendingDeletion;
    NameDialogMode nameDialogMode = NameDialogMode::create;
    std::string presetName;
    int maxDimension = 2048;
    double compareFraction = 0.5;
    bool showsCompareHandle = true;
    bool isProcessing = false;
    bool isExporting = false;
    int gifMaxDimension = 1024;
    int gifDuration = 2;
    bool isDropTargeted = false;
    // The texts of the failures not yet dismissed, in the order they happened: the alert "Não foi possível concluir"
    // shows the first, and the next once that one is dismissed.
    std::deque<std::string> errorMessages;
    VTAppearance appearance = VTAppearance::noite;
    ScenePhase scenePhase = ScenePhase::active;
    bool reduceMotion = false;

    // The text the error alert shows now: the oldest one not yet dismissed.
    std::optional<std::string> errorMessage() const
    {
        if (errorMessages.empty()) return std::nullopt;
        return errorMessages.front();
    }

    friend bool operator==(const ContentViewState&, const ContentViewState&) = default;
};

}  // namespace tilvane
