#pragma once

#include "VemiTerminal/Theme/VTAppearance.hpp"

#include <QString>

namespace tilvane {

// The look of the windows Qt draws itself (alerts, file panels and their questions, menus, the settings): the
// Fusion style with the kit's check boxes (VTStockStyle) and the kit's stock palette for the application's theme, so
// that they read like the editor window they open over. The "system" appearance leaves the desktop's palette to them.
// Gives the desktop's style and palette back when it goes. One per application.
class StockDialogLook {
public:
    StockDialogLook();
    ~StockDialogLook();
    StockDialogLook(const StockDialogLook&) = delete;
    StockDialogLook& operator=(const StockDialogLook&) = delete;

    // Re-themes the open stock windows at once, and the ones made later.
    void apply(VTAppearance appearance);

private:
    QString desktopStyle_;
};

}  // namespace tilvane
