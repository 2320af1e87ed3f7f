#pragma once

#include "TilvaneCore/EnumeratedError.hpp"

#include <filesystem>

namespace tilvane {

enum class SupportDirectoryErrorCase {
    unavailable,  // no absolute folder could be worked out from the environment
};
const char* message(SupportDirectoryErrorCase errorCase) noexcept;
using SupportDirectoryError = EnumeratedError<SupportDirectoryErrorCase>;

// The folder in which the application keeps its own files (personal presets, last session).
class TilvaneSupportDirectory {
public:
    TilvaneSupportDirectory() = delete;

    // Worked out anew from the environment on every call; never creates the folder:
    // TILVANE_SUPPORT_DIRECTORY when it holds an absolute path (taken as it stands, without
    // trailing slashes), else $XDG_DATA_HOME/Tilvane, else $HOME/.local/share/Tilvane, each only
    // when absolute. Throws SupportDirectoryError when none of them gives an absolute folder, so
    // that nothing is ever written relative to the working folder.
    static std::filesystem::path url();
};

}  // namespace tilvane
