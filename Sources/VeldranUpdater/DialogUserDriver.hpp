#pragma once

#include "VeldranUpdater/UpdateUserDriver.hpp"

namespace veldran {

// The user driver of the application: modal message boxes.
class DialogUserDriver final : public UpdateUserDriver {
public:
    bool confirmDownload(const AppcastItem& item) override;
    bool confirmInstall(const AppcastItem& item) override;
    void showUpToDate() override;
    void showFailure(const QString& message) override;
};

}  // namespace veldran
