#pragma once

#include "VeldranUpdater/Appcast.hpp"

#include <QString>

namespace veldran {

// Everything an update asks or tells the user. The application uses DialogUserDriver; tests hand
// in their own answers, so that no modal dialog ever waits for them.
class UpdateUserDriver {
public:
    virtual ~UpdateUserDriver() = default;

    // A newer version was found; true downloads it. Nothing is downloaded before this answer.
    virtual bool confirmDownload(const AppcastItem& item) = 0;
    // The downloaded version was verified and staged; true replaces the application and relaunches it.
    virtual bool confirmInstall(const AppcastItem& item) = 0;
    // A check started by the user found nothing newer.
    virtual void showUpToDate() = 0;
    // A check started by the user failed; message is a sentence in the user's language.
    virtual void showFailure(const QString& message) = 0;
};

}  // namespace veldran
