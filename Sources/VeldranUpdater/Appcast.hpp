#pragma once

#include "VeldranUpdater/BuildVersion.hpp"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>
#include <vector>

namespace veldran {

// The namespace of the appcast's own elements and attributes.
inline constexpr char appcastNamespace[] = "https://updates.veldran.studio/xml/appcast";

// One release offered by the feed:
//
//   <item>
//     <title>Tilvane 0.2.0</title>
//     <u:version>2</u:version>                         build number, compared with CFBundleVersion
//     <u:shortVersionString>0.2.0</u:shortVersionString>
//     <enclosure url="https://…/Tilvane-0.2.0.tar.xz" length="1234"
//                u:edSignature="Base64 of the archive's 64-byte Ed25519 signature"/>
//   </item>
//
// inside <rss><channel>, with xmlns:u bound to appcastNamespace.
struct AppcastItem {
    QString title;
    BuildVersion version;
    QString displayVersion;
    QUrl archiveURL;
    qint64 archiveLength = 0;
    QByteArray archiveSignature;
};

// The items of an appcast document, in document order; throws UpdateError(malformedFeed) for a
// document that is not well-formed, carries a DOCTYPE, or has an incomplete item.
std::vector<AppcastItem> parseAppcast(const QByteArray& document);

// The item with the highest version above running, if any.
std::optional<AppcastItem> newestItemAbove(const std::vector<AppcastItem>& items, const BuildVersion& running);

}  // namespace veldran
