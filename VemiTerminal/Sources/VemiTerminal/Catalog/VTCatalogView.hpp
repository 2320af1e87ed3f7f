#pragma once

#include "VemiTerminal/Theme/VTAppearance.hpp"

#include <QWidget>

class QScrollArea;

// The kit's showcase: one scrolling page with every component on demo texts and a theme picker ("Tema") in its
// navigation bar. The page carries the kit's root, so choosing "Sistema", "Vemi" or "Noite" re-themes it at once.
class VTCatalogView : public QWidget {
    Q_OBJECT
public:
    explicit VTCatalogView(QWidget* parent = nullptr);

    VTAppearance appearance() const { return appearance_; }
    void setAppearance(VTAppearance appearance);
    QString query() const { return query_; }

    // The size that shows the whole page without scrolling at `width`.
    QSize fullPageSize(int width) const;

private:
    QWidget* makeNavigationBar();
    QWidget* makeWindows();
    QWidget* makeFeatures();
    QWidget* makeHeadline();
    QWidget* makeControls();
    QWidget* makeTypography();

    VTAppearance appearance_ = VTAppearance::system;
    QString query_;
    QScrollArea* scroll_;
    QWidget* page_;
};
