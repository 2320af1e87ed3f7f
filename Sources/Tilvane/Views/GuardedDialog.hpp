#pragma once

#include <QDialog>
#include <QPointer>

namespace tilvane {

// Waits for the user in the dialog's own event loop, then reads the answer from it (`read(dialog, accepted)`) and
// deletes it. A parent destroyed meanwhile takes the dialog with it: that wait answers `gone`.
template <class Dialog, class Answer, class Read>
Answer runGuardedDialog(Dialog* dialog, Read read, Answer gone)
{
    const QPointer<Dialog> guard(dialog);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!guard) return gone;
    Answer answer = read(*dialog, accepted);
    delete dialog;
    return answer;
}

}  // namespace tilvane
