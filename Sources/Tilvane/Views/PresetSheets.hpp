#pragma once

#include <QObject>
#include <QPointer>

class QMessageBox;
class QWidget;

namespace tilvane {

class ContentView;
class PresetNameSheet;

// Presents the preset-name sheet and the delete confirmation of one editor window while its state
// asks for them, and hands the user's answers back to the window.
class PresetSheets : public QObject {
    Q_OBJECT
public:
    PresetSheets(ContentView& view, QWidget* window);

    // Opens or closes each dialog to match the window's state.
    void present();

private:
    void presentNameSheet();
    void presentDeleteAlert();

    ContentView& view_;
    QWidget* window_;
    QPointer<PresetNameSheet> nameSheet_;
    QPointer<QMessageBox> deleteAlert_;
};

}  // namespace tilvane
