#pragma once

#include <QObject>

#include <memory>

struct _GSettingsBackend;

namespace tilvane {

// The desktop's reduce-motion preference: GNOME's org.gnome.desktop.interface enable-animations read
// through GSettings (animations off means reduced motion); off where that schema is not installed.
// Follows the setting live through the GLib main loop that Qt's event dispatcher runs.
class DesktopReduceMotion : public QObject {
    Q_OBJECT
public:
    // Reads the desktop's own settings store, or `backend` when one is given (tests keep theirs in memory).
    explicit DesktopReduceMotion(QObject* parent = nullptr, _GSettingsBackend* backend = nullptr);
    ~DesktopReduceMotion() override;

    bool reduceMotion() const { return reduceMotion_; }

signals:
    void changed(bool reduceMotion);

private:
    struct GSettingsLink;
    void refresh();

    std::unique_ptr<GSettingsLink> link_;
    bool reduceMotion_ = false;
};

}  // namespace tilvane
