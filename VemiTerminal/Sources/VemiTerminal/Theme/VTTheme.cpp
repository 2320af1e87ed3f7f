#include "VemiTerminal/Theme/VTTheme.hpp"

#include "VemiTerminal/Tokens/VTPalette.hpp"

const VTTheme& VTTheme::vemi()
{
    using P = VTPalette;
    static const VTTheme theme{
        .name = QStringLiteral("Vemi"),
        .isDark = false,
        .bgPage = P::vemiLight(),
        .bgSection = P::vemi(),
        .bgWindow = P::paper(),
        .fg = P::ink(),
        .fgMuted = P::inkMuted(),
        .border = P::ink(),
        .rule = P::inkMuted(),
        .barBg = P::ink(),
        .barFg = P::silver(),
        .barBgActive = P::ink(),
        .barFgActive = P::vemi(),
        .glyphBg = P::ink(),
        .glyphFg = P::silver(),
        .btnBg = P::vemi(),
        .btnBgHover = P::inkMuted(),
        .btnFg = P::white(),
        .chipBg = P::silver(),
        .chipFg = P::ink(),
        .dot = P::ink(),
        .shadowColor = P::scrim(),
    };
    return theme;
}

const VTTheme& VTTheme::noite()
{
    using P = VTPalette;
    static const VTTheme theme{
        .name = QStringLiteral("Noite"),
        .isDark = true,
        .bgPage = P::night(),
        .bgSection = P::plum(),
        .bgWindow = P::coal(),
        .fg = P::mist(),
        .fgMuted = vtWithOpacity(P::mist(), 0.8),
        .border = P::mist(),
        .rule = vtWithOpacity(P::mist(), 0.502),
        .barBg = P::graphite(),
        .barFg = P::silver(),
        .barBgActive = P::vemi(),
        .barFgActive = P::ink(),
        .glyphBg = P::vemi(),
        .glyphFg = P::ink(),
        .btnBg = P::vemi(),
        .btnBgHover = vtWithOpacity(P::vemi(), 0.8588),
        .btnFg = P::ink(),
        .chipBg = P::graphite(),
        .chipFg = P::silver(),
        .dot = vtWithOpacity(P::vemi(), 0.4),
        .shadowColor = vtWithOpacity(P::vemi(), 0.25),
    };
    return theme;
}

QColor vtDisabledInk(const VTTheme& theme, const QColor& ground)
{
    return vtOver(vtWithOpacity(theme.fg, 0.55), ground);
}

const VTTheme& vtResolveTheme(VTAppearance appearance, bool systemIsDark)
{
    switch (appearance) {
    case VTAppearance::vemi:
        return VTTheme::vemi();
    case VTAppearance::noite:
        return VTTheme::noite();
    case VTAppearance::system:
        break;
    }
    return systemIsDark ? VTTheme::noite() : VTTheme::vemi();
}

QColor vtColor(QColor VTTheme::*role)
{
    return vtResolveTheme(VTAppearance::system, vtDesktopIsDark()).*role;
}
