#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

// A fresh Ed25519 key pair, made for one test.
class SigningKey {
public:
    SigningKey();

    QString publicKeyBase64() const;
    QByteArray sign(QByteArrayView message) const;
    QByteArray signatureBase64(QByteArrayView message) const;

    // document followed by the signature trailer of the signed-feed format.
    QByteArray signedFeed(const QByteArray& document) const;

private:
    std::array<unsigned char, 32> publicKey_{};
    std::array<unsigned char, 64> secretKey_{};
};
