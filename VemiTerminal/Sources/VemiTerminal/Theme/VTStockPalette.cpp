#include "VemiTerminal/Theme/VTStockPalette.hpp"

#include "VemiTerminal/Theme/VTTheme.hpp"
#include "VemiTerminal/Tokens/VTPalette.hpp"

QPalette vtStockPalette(const VTTheme& theme)
{
    const QColor window = vtOver(theme.bgPage, theme.bgWindow);
    const QColor base = theme.bgWindow;
    const QColor text = theme.fg;
    const QColor button = theme.chipBg;
    const QColor buttonText = theme.chipFg;
    const QColor inactiveText = vtDisabledInk(theme, window);

    QPalette palette;
    const auto both = [&palette](QPalette::ColorRole role, const QColor& colour) { palette.setColor(role, colour); };
    both(QPalette::Window, window);
    both(QPalette::WindowText, text);
    both(QPalette::Base, base);
    both(QPalette::AlternateBase, vtOver(vtWithOpacity(text, 0.06), base));
    both(QPalette::Text, text);
    both(QPalette::PlaceholderText, vtOver(theme.fgMuted, base));
    both(QPalette::Button, button);
    both(QPalette::ButtonText, buttonText);
    both(QPalette::BrightText, theme.isDark ? VTPalette::white() : VTPalette::ink());
    both(QPalette::Light, vtOver(vtWithOpacity(text, 0.25), button));
    both(QPalette::Midlight, vtOver(vtWithOpacity(text, 0.12), button));
    both(QPalette::Mid, vtOver(vtWithOpacity(text, 0.35), window));
    both(QPalette::Dark, vtOver(vtWithOpacity(text, 0.5), window));
    both(QPalette::Shadow, theme.isDark ? VTPalette::night() : VTPalette::ink());
    // Ink on the brand colour reads in both themes (the white of the light theme's buttons would not).
    both(QPalette::Highlight, theme.btnBg);
    both(QPalette::HighlightedText, VTPalette::ink());
    both(QPalette::Link, text);
    both(QPalette::LinkVisited, text);
    both(QPalette::ToolTipBase, theme.chipBg);
    both(QPalette::ToolTipText, theme.chipFg);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
        palette.setColor(QPalette::Disabled, role, inactiveText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, vtOver(vtWithOpacity(theme.btnBg, 0.45), window));
    return palette;
}
