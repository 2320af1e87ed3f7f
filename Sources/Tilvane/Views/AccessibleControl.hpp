#pragma once

#include <QString>

class QWidget;

namespace tilvane {

// What a custom-drawn control tells assistive technology beyond its name and tooltip: its value text, whether
// it is checked or selected, and whether it can be stepped up and down. A widget that inherits this is answered
// for by the application's accessibility factory once `installAccessibleControlFactory()` has run, as one element:
// the child widgets it is drawn with are not exposed, unless it contains them as elements of their own.
class AccessibleControl {
public:
    virtual ~AccessibleControl() = default;

    virtual QString accessibleValue() const { return {}; }
    virtual bool isAccessibleCheckable() const { return false; }
    virtual bool isAccessibleChecked() const { return false; }
    virtual bool isAccessibleSelectable() const { return false; }
    virtual bool isAccessibleSelected() const { return false; }
    virtual bool isAdjustable() const { return false; }
    // Steps the value as an accessibility action would; a disabled control ignores both.
    virtual void accessibleIncrement() {}
    virtual void accessibleDecrement() {}
    // Whether the control answers a press action (buttons, switches).
    virtual bool isAccessiblePressable() const { return false; }
    virtual void accessiblePress() {}
    // Whether the widgets inside it are elements of their own (a view that holds buttons), rather than parts of it.
    virtual bool containsAccessibleChildren() const { return false; }
};

// Registers the factory once per process; every control's constructor calls it.
void installAccessibleControlFactory();

}  // namespace tilvane
