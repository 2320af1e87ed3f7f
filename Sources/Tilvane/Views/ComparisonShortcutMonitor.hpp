#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QKeyEvent;
class QWidget;

namespace tilvane {

// Listens for Command+Shift+B (Ctrl+Shift+B here) typed in its own window and reports it, swallowing the key.
// Keys typed in any other window, and other modifier combinations, pass on unchanged.
class ComparisonShortcutMonitor : public QObject {
    Q_OBJECT

public:
    // Watches the application's key presses while it exists; `view` names the window it answers for.
    ComparisonShortcutMonitor(QWidget* view, std::function<void()> onToggle);
    ~ComparisonShortcutMonitor() override;

    // Whether a key press with these modifiers and this text toggles the grip.
    static bool matches(Qt::KeyboardModifiers modifiers, int key, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> view_;
    std::function<void()> onToggle_;
};

}  // namespace tilvane
