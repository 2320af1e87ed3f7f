#include "VemiTerminal/Theme/VTAppearance.hpp"

#include <QGuiApplication>

QString vtRawValue(VTAppearance appearance)
{
    switch (appearance) {
    case VTAppearance::system:
        return QStringLiteral("system");
    case VTAppearance::vemi:
        return QStringLiteral("vemi");
    case VTAppearance::noite:
        return QStringLiteral("noite");
    }
    return {};
}

std::optional<VTAppearance> vtAppearance(QStringView rawValue)
{
    for (VTAppearance appearance : vtAllAppearances) {
        if (rawValue == vtRawValue(appearance)) {
            return appearance;
        }
    }
    return std::nullopt;
}

bool vtIsDarkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

bool vtDesktopIsDark()
{
    return vtIsDarkPalette(QGuiApplication::palette());
}
