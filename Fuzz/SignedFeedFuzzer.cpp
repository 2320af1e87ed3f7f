// The update feed: first as it arrives (the signature trailer is read from untrusted bytes), then
// signed by the harness's own key, which takes the bytes past the signature check into the appcast
// reader as a feed signed by the real key would go.

#include "FuzzSupport.hpp"

#include "VeldranUpdater/Appcast.hpp"
#include "VeldranUpdater/Ed25519PublicKey.hpp"
#include "VeldranUpdater/SignedFeed.hpp"
#include "VeldranUpdater/UpdateError.hpp"

#include <sodium.h>

namespace {

struct SigningKey {
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];

    SigningKey()
    {
        tilvane::fuzz::require(sodium_init() >= 0, "libsodium did not start");
        unsigned char seed[crypto_sign_SEEDBYTES] = {7};
        crypto_sign_seed_keypair(publicKey, secretKey, seed);
    }

    veldran::Ed25519PublicKey verifier() const
    {
        const QByteArray base64 = QByteArray(reinterpret_cast<const char*>(publicKey), sizeof publicKey).toBase64();
        return veldran::Ed25519PublicKey::fromBase64(QString::fromLatin1(base64)).value();
    }

    QByteArray signedFeed(const QByteArray& document) const
    {
        unsigned char signature[crypto_sign_BYTES];
        crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(document.constData()),
                             static_cast<unsigned long long>(document.size()), secretKey);
        return document + veldran::feedSignaturePrefix
               + QByteArray(reinterpret_cast<const char*>(signature), sizeof signature).toBase64()
               + veldran::feedSignatureSuffix + '\n';
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SigningKey key;
    static const veldran::Ed25519PublicKey verifier = key.verifier();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        (void)veldran::parseAppcast(veldran::verifiedFeedDocument(bytes, verifier));
    } catch (const veldran::UpdateError&) {
    }
    try {
        const QByteArray document = veldran::verifiedFeedDocument(key.signedFeed(bytes), verifier);
        tilvane::fuzz::require(document == bytes, "a signed document was not handed over whole");
        const auto items = veldran::parseAppcast(document);
        (void)veldran::newestItemAbove(items, veldran::BuildVersion::parse(QStringLiteral("1")).value());
    } catch (const veldran::UpdateError&) {
    }
    return 0;
}
