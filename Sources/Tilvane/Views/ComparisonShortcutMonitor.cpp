#include "Tilvane/Views/ComparisonShortcutMonitor.hpp"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tilvane {

ComparisonShortcutMonitor::ComparisonShortcutMonitor(QWidget* view, std::function<void()> onToggle)
    : QObject(view), view_(view), onToggle_(std::move(onToggle))
{
    QApplication::instance()->installEventFilter(this);
}

ComparisonShortcutMonitor::~ComparisonShortcutMonitor()
{
    if (auto* application = QApplication::instance()) application->removeEventFilter(this);
}

bool ComparisonShortcutMonitor::matches(Qt::KeyboardModifiers modifiers, int key, const QString& text)
{
    const auto relevant = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (relevant != (Qt::ControlModifier | Qt::ShiftModifier)) return false;
    // Ctrl turns the text into a control character, so the key itself tells which letter it was.
    if (key == Qt::Key_B) return true;
    return text.toLower() == QLatin1String("b");
}

bool ComparisonShortcutMonitor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !view_ || !view_->window()) return false;
    // A key press reaches the focused widget of the window it was typed in; a dialog is a window of its own.
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != view_->window()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!matches(key->modifiers(), key->key(), key->text())) return false;
    if (onToggle_) onToggle_();
    return true;
}

}  // namespace tilvane
