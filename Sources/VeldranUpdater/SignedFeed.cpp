#include "VeldranUpdater/SignedFeed.hpp"

#include "VeldranUpdater/UpdateError.hpp"

#include <cstring>

namespace veldran {
namespace {

// Base64 of 64 bytes is always 88 characters.
constexpr qsizetype encodedSignatureLength = 88;

}  // namespace

QByteArray verifiedFeedDocument(const QByteArray& signedFeed, const Ed25519PublicKey& key)
{
    QByteArrayView feed(signedFeed);
    if (feed.endsWith('\n')) {
        feed.chop(1);
    }
    const qsizetype prefixLength = qsizetype(std::strlen(feedSignaturePrefix));
    const qsizetype suffixLength = qsizetype(std::strlen(feedSignatureSuffix));
    const qsizetype trailerLength = prefixLength + encodedSignatureLength + suffixLength;
    if (feed.size() < trailerLength || !feed.endsWith(feedSignatureSuffix)) {
        throw UpdateError(UpdateErrorCase::unsignedFeed);
    }
    const qsizetype trailerStart = feed.size() - trailerLength;
    if (feed.sliced(trailerStart, prefixLength) != QByteArrayView(feedSignaturePrefix)) {
        throw UpdateError(UpdateErrorCase::unsignedFeed);
    }
    const auto signature = decodeStrictBase64(feed.sliced(trailerStart + prefixLength, encodedSignatureLength));
    if (!signature || signature->size() != Ed25519PublicKey::signatureByteCount) {
        throw UpdateError(UpdateErrorCase::unsignedFeed);
    }
    const QByteArrayView document = feed.first(trailerStart);
    if (!key.verifies(document, *signature)) {
        throw UpdateError(UpdateErrorCase::badFeedSignature);
    }
    return document.toByteArray();
}

}  // namespace veldran
