#include "VeldranUpdater/Appcast.hpp"

#include "VeldranUpdater/Ed25519PublicKey.hpp"
#include "VeldranUpdater/UpdateError.hpp"

#include <QXmlStreamReader>

namespace veldran {
namespace {

[[noreturn]] void refuseFeed()
{
    throw UpdateError(UpdateErrorCase::malformedFeed);
}

// Fills the enclosure fields of item from the reader's current <enclosure> element.
void readEnclosure(const QXmlStreamAttributes& attributes, AppcastItem& item)
{
    item.archiveURL = QUrl(attributes.value(QStringLiteral("url")).toString(), QUrl::StrictMode);
    bool lengthIsNumber = false;
    item.archiveLength = attributes.value(QStringLiteral("length")).toLongLong(&lengthIsNumber);
    const auto signature = decodeStrictBase64(
        attributes.value(QString::fromLatin1(appcastNamespace), QStringLiteral("edSignature")).toLatin1());
    if (!item.archiveURL.isValid() || item.archiveURL.isRelative() || !lengthIsNumber || item.archiveLength <= 0
        || !signature || signature->size() != Ed25519PublicKey::signatureByteCount) {
        refuseFeed();
    }
    item.archiveSignature = *signature;
}

AppcastItem readItem(QXmlStreamReader& reader)
{
    AppcastItem item;
    bool hasVersion = false;
    bool hasEnclosure = false;
    while (reader.readNextStartElement()) {
        const bool ownElement = reader.namespaceUri() == QLatin1String(appcastNamespace);
        if (reader.namespaceUri().isEmpty() && reader.name() == u"title") {
            item.title = reader.readElementText();
        } else if (ownElement && reader.name() == u"version") {
            const auto version = BuildVersion::parse(reader.readElementText());
            if (!version) {
                refuseFeed();
            }
            item.version = *version;
            hasVersion = true;
        } else if (ownElement && reader.name() == u"shortVersionString") {
            item.displayVersion = reader.readElementText();
        } else if (reader.namespaceUri().isEmpty() && reader.name() == u"enclosure") {
            if (hasEnclosure) {
                refuseFeed();
            }
            readEnclosure(reader.attributes(), item);
            hasEnclosure = true;
            reader.skipCurrentElement();
        } else {
            reader.skipCurrentElement();
        }
    }
    if (!hasVersion || !hasEnclosure) {
        refuseFeed();
    }
    if (item.displayVersion.isEmpty()) {
        item.displayVersion = item.version.text();
    }
    return item;
}

}  // namespace

std::vector<AppcastItem> parseAppcast(const QByteArray& document)
{
    QXmlStreamReader reader(document);
    std::vector<AppcastItem> items;
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            refuseFeed();
        case QXmlStreamReader::StartElement:
            if (depth == 0 && reader.name() != u"rss") {
                refuseFeed();
            }
            if (depth == 1 && reader.name() != u"channel") {
                refuseFeed();
            }
            if (depth == 2 && reader.name() == u"item") {
                items.push_back(readItem(reader));
            } else if (depth >= 2) {
                reader.skipCurrentElement();
            } else {
                ++depth;
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        refuseFeed();
    }
    return items;
}

std::optional<AppcastItem> newestItemAbove(const std::vector<AppcastItem>& items, const BuildVersion& running)
{
    const AppcastItem* newest = nullptr;
    for (const AppcastItem& item : items) {
        if (item.version > running && (newest == nullptr || item.version > newest->version)) {
            newest = &item;
        }
    }
    if (newest == nullptr) {
        return std::nullopt;
    }
    return *newest;
}

}  // namespace veldran
