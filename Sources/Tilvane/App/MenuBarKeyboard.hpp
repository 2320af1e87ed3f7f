#pragma once

#include <QObject>
#include <QPointer>

class QMenuBar;
class QWidget;

namespace tilvane {

// How a window's menu bar gives the keyboard back. Alt, or Alt and a menu's letter, gives the bar the keyboard;
// Escape out of an open menu leaves the bar holding it, its title highlighted (the stock style draws that). The bar
// lets go at the next Escape, Tab or Backtab, or once one of its commands has run: the focus then goes back to the
// control that had it before the bar took the keyboard, with the focus ring, and the Tab or Backtab that let go
// moves on from there at once. Lives as long as the bar.
class MenuBarKeyboard : public QObject {
    Q_OBJECT
public:
    explicit MenuBarKeyboard(QMenuBar& bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void noteFocus(QWidget* old, QWidget* now);
    bool holdsFocusAlone() const;
    // Gives the focus to the control that had it; returns that control, or nothing when it has gone.
    QWidget* giveBack();

    QMenuBar& bar_;
    QPointer<QWidget> resumeAt_;
};

}  // namespace tilvane
