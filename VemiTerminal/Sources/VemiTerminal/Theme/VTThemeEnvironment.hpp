#pragma once

#include "VemiTerminal/Theme/VTAppearance.hpp"
#include "VemiTerminal/Theme/VTTheme.hpp"

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

// Carries the resolved theme of one widget tree, like an environment value set at its root. Lives as a
// child object of the root; every widget below reads it at paint time through vtTheme().
class VTThemeHost : public QObject {
    Q_OBJECT
public:
    explicit VTThemeHost(QWidget* root);

    static VTThemeHost* of(const QWidget* root);

    VTAppearance appearance() const { return appearance_; }
    const VTTheme& theme() const { return *theme_; }
    void setAppearance(VTAppearance appearance);

signals:
    void themeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void resolve();

    QWidget* root_;
    VTAppearance appearance_ = VTAppearance::system;
    const VTTheme* theme_;
};

// The host of the nearest ancestor (the widget included) that carries one, if any.
VTThemeHost* vtThemeHost(const QWidget* widget);
// The theme installed on the nearest ancestor (the widget included), else VTTheme::vemi().
const VTTheme& vtTheme(const QWidget* widget);

// For a widget that keeps theme colours in its own state (a palette) instead of reading them while painting:
// calls `apply` now, whenever the host it sees changes theme, and when it may have come under another host
// (it is shown, moved to another parent, or handed a new palette by its root).
void vtFollowTheme(QWidget* widget, std::function<void()> apply);

// The kit's root: registers the kit's fonts and installs the theme chosen by `appearance` on `root`, with the
// matching platform palette (the tint and light or dark look of platform controls). Calling it again with
// another appearance re-themes the whole tree at once.
VTThemeHost* vemiTerminal(QWidget* root, VTAppearance appearance);
