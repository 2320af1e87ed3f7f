#pragma once

#include <QByteArray>

namespace veldran {

// Carries one analytics batch (JSON bytes) per call to the analytics service.
class AnalyticsTransport {
public:
    virtual ~AnalyticsTransport() = default;
    virtual void send(const QByteArray& body) = 0;
    virtual void cancel() = 0;
};

}  // namespace veldran
