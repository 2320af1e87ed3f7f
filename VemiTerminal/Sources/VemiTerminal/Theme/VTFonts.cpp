#include "VemiTerminal/Theme/VTFonts.hpp"

#include "VemiTerminal/Theme/VTResources.hpp"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>

namespace {
bool registered = false;
}

bool VTFonts::registerIfNeeded()
{
    if (registered || QGuiApplication::instance() == nullptr) {
        return false;
    }
    return registerIfNeeded(VTResources::bundlePath());
}

bool VTFonts::registerIfNeeded(const QString& resourceFolder)
{
    // Without a GUI application the font database is not there yet: registering now would lose the fonts.
    if (registered || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    registered = true;  // Set first: a failed or partial registration is not retried.
    const QDir fonts(resourceFolder + QStringLiteral("/Fonts"));
    for (const QString& file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name)) {
        QFontDatabase::addApplicationFont(fonts.filePath(file));
    }
    return true;
}

bool VTFonts::didRegister()
{
    return registered;
}
