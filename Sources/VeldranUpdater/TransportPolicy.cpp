#include "VeldranUpdater/TransportPolicy.hpp"

namespace veldran {

bool TransportPolicy::allows(const QUrl& url) const
{
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty()) {
        return false;
    }
    if (url.scheme() == u"https") {
        return true;
    }
    return allowsLoopbackHttp_ && url.scheme() == u"http" && url.host() == u"127.0.0.1";
}

}  // namespace veldran
