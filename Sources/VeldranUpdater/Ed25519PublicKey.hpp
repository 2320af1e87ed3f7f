#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <array>
#include <optional>

namespace veldran {

// Strict standard Base64 (with padding, no line breaks, no other characters, canonical trailing
// bits); anything else gives nothing.
std::optional<QByteArray> decodeStrictBase64(QByteArrayView text);

// The key that every feed and every update archive must be signed with.
class Ed25519PublicKey {
public:
    static constexpr qsizetype byteCount = 32;
    static constexpr qsizetype signatureByteCount = 64;

    // Strict standard Base64 of exactly 32 bytes; nothing otherwise.
    static std::optional<Ed25519PublicKey> fromBase64(QStringView text);

    // True when signature (64 bytes) is this key's Ed25519 signature of message.
    bool verifies(QByteArrayView message, QByteArrayView signature) const;

private:
    std::array<unsigned char, byteCount> bytes_{};
};

}  // namespace veldran
