#include "VeldranUpdater/Ed25519PublicKey.hpp"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>

namespace veldran {
namespace {

void initializeSodium()
{
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium could not be initialised");
    }
}

}  // namespace

std::optional<QByteArray> decodeStrictBase64(QByteArrayView text)
{
    initializeSodium();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    QByteArray decoded(text.size(), Qt::Uninitialized);
    size_t decodedLength = 0;
    const char* end = nullptr;
    if (sodium_base642bin(reinterpret_cast<unsigned char*>(decoded.data()), decoded.size(), text.data(), text.size(),
                          nullptr, &decodedLength, &end, sodium_base64_VARIANT_ORIGINAL)
            != 0
        || end != text.data() + text.size()) {
        return std::nullopt;
    }
    decoded.truncate(qsizetype(decodedLength));
    // Only the one canonical spelling counts: re-encoding must give the text back.
    QByteArray reencoded(qsizetype(sodium_base64_ENCODED_LEN(decodedLength, sodium_base64_VARIANT_ORIGINAL)),
                         Qt::Uninitialized);
    sodium_bin2base64(reencoded.data(), reencoded.size(), reinterpret_cast<const unsigned char*>(decoded.data()),
                      decodedLength, sodium_base64_VARIANT_ORIGINAL);
    reencoded.chop(1);  // the terminating NUL
    if (reencoded != text) {
        return std::nullopt;
    }
    return decoded;
}

std::optional<Ed25519PublicKey> Ed25519PublicKey::fromBase64(QStringView text)
{
    for (QChar character : text) {
        if (character.unicode() > 0x7F) {
            return std::nullopt;
        }
    }
    const auto decoded = decodeStrictBase64(text.toLatin1());
    if (!decoded || decoded->size() != byteCount) {
        return std::nullopt;
    }
    Ed25519PublicKey key;
    std::copy(decoded->begin(), decoded->end(), key.bytes_.begin());
    return key;
}

bool Ed25519PublicKey::verifies(QByteArrayView message, QByteArrayView signature) const
{
    initializeSodium();
    if (signature.size() != signatureByteCount) {
        return false;
    }
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                       reinterpret_cast<const unsigned char*>(message.data()),
                                       static_cast<unsigned long long>(message.size()), bytes_.data())
           == 0;
}

}  // namespace veldran
