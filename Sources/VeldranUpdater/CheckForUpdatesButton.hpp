#pragma once

#include <QAction>

namespace veldran {

class AppUpdater;

// The menu command "Buscar atualizações…": starts a user check, enabled only while the updater
// runs and can check.
class CheckForUpdatesButton : public QAction {
    Q_OBJECT

public:
    explicit CheckForUpdatesButton(AppUpdater& updater, QObject* parent = nullptr);

private:
    void refreshEnabled();

    AppUpdater& updater_;
};

}  // namespace veldran
