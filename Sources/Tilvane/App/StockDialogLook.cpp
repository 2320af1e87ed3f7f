#include "Tilvane/App/StockDialogLook.hpp"

#include "VemiTerminal/Theme/VTStockPalette.hpp"
#include "VemiTerminal/Theme/VTStockStyle.hpp"
#include "VemiTerminal/Theme/VTTheme.hpp"

#include <QApplication>
#include <QPalette>
#include <QStyle>

namespace tilvane {

namespace {

// A palette with no role of its own: the application takes the desktop's palette again.
void useDesktopPalette()
{
    QApplication::setPalette(QPalette());
}

}  // namespace

StockDialogLook::StockDialogLook() : desktopStyle_(QApplication::style()->name())
{
    // Only Fusion paints every part of a window with the palette it is given.
    QApplication::setStyle(new VTStockStyle);
}

StockDialogLook::~StockDialogLook()
{
    useDesktopPalette();
    QApplication::setStyle(desktopStyle_);
}

void StockDialogLook::apply(VTAppearance appearance)
{
    if (appearance == VTAppearance::system) {
        useDesktopPalette();
        return;
    }
    QApplication::setPalette(vtStockPalette(vtResolveTheme(appearance, false)));
}

}  // namespace tilvane
