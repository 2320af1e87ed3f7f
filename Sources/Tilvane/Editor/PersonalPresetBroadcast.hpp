#pragma once

// Qt first: moc cannot read the standard library's concepts unless Qt's headers came before them.
#include <QObject>

#include "TilvanePresets/PersonalPreset.hpp"

#include <vector>

namespace tilvane {

// Tells every editor window of the process that a presets file now holds a new list, so that a
// preset created, renamed, saved, deleted or imported in one window shows in all of them.
class PersonalPresetBroadcast : public QObject {
    Q_OBJECT
public:
    static PersonalPresetBroadcast& shared();

    void publish(const std::string& file, const std::vector<PersonalPreset>& presets);

signals:
    void listWritten(const std::string& file, const std::vector<PersonalPreset>& presets);
};

}  // namespace tilvane
