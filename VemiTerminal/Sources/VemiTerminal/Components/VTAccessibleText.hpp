#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

// A kit widget that draws its text itself, so a screen reader learns it from here: static text read as its
// text, or (a window panel) a group named by its title. A name the caller gives (setAccessibleName) wins.
class VTAccessibleText {
public:
    virtual ~VTAccessibleText() = default;

    virtual QString accessibleText() const = 0;
    virtual QAccessible::Role accessibleRole() const { return QAccessible::StaticText; }
};

// Makes every VTAccessibleText widget known to assistive technology; kit widgets call it when they are made.
void vtEnableAccessibleText();
// Tells assistive technology that the text a widget is read by has changed.
void vtAccessibleTextChanged(QWidget* widget);
