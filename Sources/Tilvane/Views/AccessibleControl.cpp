#include "Tilvane/Views/AccessibleControl.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>
#include <mutex>

namespace tilvane {

namespace {

class AccessibleControlInterface : public QAccessibleWidget {
public:
    AccessibleControlInterface(QWidget* widget, AccessibleControl* control, QAccessible::Role role)
        : QAccessibleWidget(widget, role), control_(control)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value) return control_->accessibleValue();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State current = QAccessibleWidget::state();
        current.checkable = control_->isAccessibleCheckable();
        current.checked = control_->isAccessibleChecked();
        current.selectable = control_->isAccessibleSelectable();
        current.selected = control_->isAccessibleSelected();
        return current;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (control_->isAccessiblePressable()) names << pressAction();
        if (control_->isAdjustable()) names << increaseAction() << decreaseAction();
        return names;
    }

    void doAction(const QString& name) override
    {
        if (!widget()->isEnabled()) return;
        if (name == pressAction() && control_->isAccessiblePressable()) {
            control_->accessiblePress();
        } else if (name == increaseAction() && control_->isAdjustable()) {
            control_->accessibleIncrement();
        } else if (name == decreaseAction() && control_->isAdjustable()) {
            control_->accessibleDecrement();
        }
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // A control is one element: the widgets it is drawn with (a placeholder, a chip, a swatch) are parts of it,
    // read through its own name and value, not announced after it.
    int childCount() const override
    {
        return control_->containsAccessibleChildren() ? QAccessibleWidget::childCount() : 0;
    }
    QAccessibleInterface* child(int index) const override
    {
        return control_->containsAccessibleChildren() ? QAccessibleWidget::child(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return control_->containsAccessibleChildren() ? QAccessibleWidget::indexOfChild(child) : -1;
    }

private:
    AccessibleControl* control_;
};

QAccessibleInterface* accessibleControlFactory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    auto* control = dynamic_cast<AccessibleControl*>(object);
    if (widget == nullptr || control == nullptr) return nullptr;
    QAccessible::Role role = QAccessible::Client;
    if (control->isAdjustable()) {
        role = QAccessible::Slider;
    } else if (control->isAccessibleCheckable()) {
        role = QAccessible::CheckBox;
    } else if (control->isAccessiblePressable()) {
        role = QAccessible::Button;
    }
    return new AccessibleControlInterface(widget, control, role);
}

}  // namespace

void installAccessibleControlFactory()
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(accessibleControlFactory); });
}

}  // namespace tilvane
