#include "Tilvane/App/MenuBarKeyboard.hpp"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>

namespace tilvane {

MenuBarKeyboard::MenuBarKeyboard(QMenuBar& bar) : QObject(&bar), bar_(bar)
{
    bar_.installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &MenuBarKeyboard::noteFocus);
    // A command chosen from a menu the keyboard opened: Qt gives the focus back itself, but not always (after a
    // second menu was opened from the bar, it has lost the control to give it to). Once the command has run, the
    // bar still holding the focus without a highlighted title gives it back.
    connect(&bar_, &QMenuBar::triggered, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (holdsFocusAlone() && bar_.activeAction() == nullptr) giveBack();
        });
    });
}

void MenuBarKeyboard::noteFocus(QWidget* old, QWidget* now)
{
    if (now == &bar_ && old != nullptr && old != &bar_ && old->window() == bar_.window()) resumeAt_ = old;
}

bool MenuBarKeyboard::holdsFocusAlone() const
{
    return bar_.window()->focusWidget() == &bar_ && QApplication::activePopupWidget() == nullptr;
}

QWidget* MenuBarKeyboard::giveBack()
{
    QWidget* control = resumeAt_;
    if (control == nullptr || !control->isVisible() || !control->isEnabled()) {
        bar_.clearFocus();
        return nullptr;
    }
    // Focus from the menu bar is the keyboard's: the kit outlines it.
    control->setFocus(Qt::MenuBarFocusReason);
    return control;
}

bool MenuBarKeyboard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &bar_ || event->type() != QEvent::KeyPress || !holdsFocusAlone()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Escape:
        giveBack();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (QWidget* control = giveBack()) {
            QKeyEvent moveOn(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(control, &moveOn);
        }
        return true;
    default:
        return false;
    }
}

}  // namespace tilvane
