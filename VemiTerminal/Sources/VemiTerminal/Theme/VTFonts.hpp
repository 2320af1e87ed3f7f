#pragma once

#include <QString>

// Registers the kit's fonts (every .ttf in the bundle's "Fonts" folder) once per process.
class VTFonts {
public:
    // Registers from the kit's own bundle. Returns true when this call did the registration.
    static bool registerIfNeeded();
    // Registers from `resourceFolder`/Fonts. Only the first call made while the Qt application exists does
    // anything; an attempt before the application exists leaves registration pending.
    static bool registerIfNeeded(const QString& resourceFolder);
    static bool didRegister();
};
