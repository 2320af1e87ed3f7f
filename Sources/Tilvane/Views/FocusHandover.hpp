#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace tilvane {

// Keeps the focus where the user pressed while a block of controls is rebuilt: made before the rebuild, it notes
// the control inside the leaving block that has the focus; once the new block stands, moveTo() gives the focus to
// the control that takes its place, before the old block goes away and Qt would send the focus elsewhere.
class FocusHandover {
public:
    explicit FocusHandover(QWidget* leaving);

    // Gives the focus to the control of `replacement` that has the same name (the same one of several with that
    // name), else to the one now standing at its place in the block's order; without a replacement block, to the
    // next control after the leaving block in the window's focus chain. Focus the keyboard used stays focus the
    // keyboard uses, so that the kit's ring shows on the new control as it did on the old one. Returns the control
    // now focused, or nothing when the focus was not in the leaving block.
    QWidget* moveTo(QWidget* replacement);

    // Whether the focus noted was the keyboard's (the kit drew its ring).
    bool byKeyboard() const { return byKeyboard_; }

private:
    QWidget* counterpart(QWidget& replacement) const;
    QWidget* nextAfterLeaving() const;

    QPointer<QWidget> leaving_;
    QPointer<QWidget> focused_;
    QString name_;
    qsizetype occurrence_ = 0;  // among the block's controls of that name
    qsizetype position_ = 0;    // among all the block's controls
    bool byKeyboard_ = false;
};

}  // namespace tilvane
