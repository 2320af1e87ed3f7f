#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;

namespace veldran {

class AppUpdater;

// The "Atualizações" block of the settings window: the automatic-check toggle and a note on how
// updates reach the user.
class UpdateSettingsSection : public QWidget {
    Q_OBJECT

public:
    explicit UpdateSettingsSection(AppUpdater& updater, QWidget* parent = nullptr);

private:
    void refresh();

    AppUpdater& updater_;
    QCheckBox* automaticChecks_;
    QLabel* note_;
};

}  // namespace veldran
