#pragma once

#include <QString>

// The kit's resource bundle: Resources/VemiTerminal_VemiTerminal.bundle of the application folder that holds the
// running executable, or the build tree's bundle for programs outside the application folder.
struct VTResources {
    static QString bundlePath();
};
