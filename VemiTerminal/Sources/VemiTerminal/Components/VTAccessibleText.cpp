#include "VemiTerminal/Components/VTAccessibleText.hpp"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

class AccessibleTextWidget : public QAccessibleWidget {
public:
    AccessibleTextWidget(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return dynamic_cast<const VTAccessibleText&>(*widget()).accessibleText();
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* accessibleTextFactory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    const auto* text = dynamic_cast<const VTAccessibleText*>(object);
    if (widget == nullptr || text == nullptr) {
        return nullptr;
    }
    return new AccessibleTextWidget(widget, text->accessibleRole());
}

}  // namespace

void vtEnableAccessibleText()
{
    static const bool installed = (QAccessible::installFactory(accessibleTextFactory), true);
    Q_UNUSED(installed);
}

void vtAccessibleTextChanged(QWidget* widget)
{
    if (widget->accessibleName().isEmpty()) {
        QAccessibleEvent event(widget, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}
