#pragma once

#include <QUrl>

namespace veldran {

// Which addresses the updater may fetch from: HTTPS only. Tests that serve feeds from their own
// loopback server build the one exception, plain HTTP to 127.0.0.1, and hand it to the updater.
class TransportPolicy {
public:
    static TransportPolicy httpsOnly() { return TransportPolicy(false); }
    static TransportPolicy httpsOrLoopbackHttpForTests() { return TransportPolicy(true); }

    bool allows(const QUrl& url) const;

private:
    explicit TransportPolicy(bool allowsLoopbackHttp) : allowsLoopbackHttp_(allowsLoopbackHttp) {}

    bool allowsLoopbackHttp_;
};

}  // namespace veldran
