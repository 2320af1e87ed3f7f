#pragma once

#include <QByteArray>
#include <QString>

#include <sodium.h>

#include <array>

// A fresh Ed25519 key pair, made for one test.
class SigningKey {
public:
    SigningKey() { crypto_sign_keypair(publicKey_.data(), secretKey_.data()); }

    QString publicKeyBase64() const { return QString::fromLatin1(bytes(publicKey_.data(), 32).toBase64()); }

    QByteArray signatureBase64(const QByteArray& message) const
    {
        std::array<unsigned char, crypto_sign_BYTES> signature{};
        crypto_sign_detached(signature.data(), nullptr, reinterpret_cast<const unsigned char*>(message.constData()),
                             static_cast<unsigned long long>(message.size()), secretKey_.data());
        return bytes(signature.data(), crypto_sign_BYTES).toBase64();
    }

    // document followed by the signature trailer of the signed-feed format.
    QByteArray signedFeed(const QByteArray& document) const
    {
        return document + "<!-- ed25519-signature: " + signatureBase64(document) + " -->\n";
    }

private:
    static QByteArray bytes(const unsigned char* data, int size) { return {reinterpret_cast<const char*>(data), size}; }

    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> publicKey_{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey_{};
};
