#pragma once

#include "Tilvane/Editor/ContentViewState.hpp"

#include <QWidget>

class VTButton;
class VTChip;
class VTNavBar;

namespace tilvane {

// The window's top bar: the brand, the subtitle with its status chip, then "Abrir", the theme button and the
// two export buttons. Shows a state; reports clicks.
class NavigationBar : public QWidget {
    Q_OBJECT

public:
    explicit NavigationBar(QWidget* parent = nullptr);

    void setState(const ContentViewState& state);

signals:
    void openClicked();
    void themeClicked();
    void exportPNGClicked();
    void exportGIFClicked();

private:
    QWidget* subtitle_;
    VTChip* chip_;
    VTButton* openButton_;
    VTButton* themeButton_;
    VTButton* exportPNGButton_;
    VTButton* exportGIFButton_;
};

}  // namespace tilvane
