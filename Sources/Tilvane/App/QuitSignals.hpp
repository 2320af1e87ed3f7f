#pragma once

#include <QObject>

class QSocketNotifier;

namespace tilvane {

// Turns SIGTERM and SIGINT into a quit request on the main thread, through a self-pipe. One per process.
class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

signals:
    void quitRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tilvane
