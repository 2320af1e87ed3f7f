#include "SigningKey.hpp"

#include <sodium.h>

#include <stdexcept>

SigningKey::SigningKey()
{
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium could not be initialised");
    }
    crypto_sign_keypair(publicKey_.data(), secretKey_.data());
}

QString SigningKey::publicKeyBase64() const
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(publicKey_.data()), 32).toBase64());
}

QByteArray SigningKey::sign(QByteArrayView message) const
{
    QByteArray signature(crypto_sign_BYTES, Qt::Uninitialized);
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(message.data()),
                         static_cast<unsigned long long>(message.size()), secretKey_.data());
    return signature;
}

QByteArray SigningKey::signatureBase64(QByteArrayView message) const
{
    return sign(message).toBase64();
}

QByteArray SigningKey::signedFeed(const QByteArray& document) const
{
    return document + "<!-- ed25519-signature: " + signatureBase64(document) + " -->\n";
}
