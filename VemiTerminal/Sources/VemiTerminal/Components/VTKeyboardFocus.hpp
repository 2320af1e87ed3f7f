#pragma once

#include <QObject>

class QColor;
class QPainter;
class QRectF;
class QWidget;

// Whether a widget holds focus that the keyboard uses: focus that came from Tab, Backtab, a shortcut or the menu bar
// letting go of the keyboard, or focus that came from a click once a key is pressed in it. The only focus the kit
// outlines, so that a keyboard user sees where the keys go while a click that focuses shows nothing. Focus that
// leaves with its window (another window or a popup comes over it) comes back as it went: outlined when the keyboard
// was in use there, to whichever control of the window holds the focus then. Repaints the widget when that changes.
// A meta-object type, so that a widget's mark can be found among its children.
class VTKeyboardFocus : public QObject {
    Q_OBJECT

public:
    explicit VTKeyboardFocus(QWidget* widget);

    bool isShown() const { return shown_; }
    // Whether `widget` carries a mark that shows now.
    static bool isShownOn(const QWidget& widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(bool shown);

    QWidget* widget_;
    bool shown_ = false;
};

// The keyboard-focus mark: a 2-pt outline laid inside `rect` in `colour` (the theme's `fg`).
void vtDrawKeyboardFocus(QPainter& painter, const QRectF& rect, const QColor& colour);
