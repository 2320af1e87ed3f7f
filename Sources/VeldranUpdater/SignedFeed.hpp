#pragma once

#include "VeldranUpdater/Ed25519PublicKey.hpp"

#include <QByteArray>

namespace veldran {

// A signed feed is the appcast document followed by exactly one trailer:
//
//     <!-- ed25519-signature: SIGNATURE -->
//
// where SIGNATURE is the standard Base64 of the 64-byte Ed25519 signature of every byte before
// the trailer's "<!--". At most one "\n" may follow the trailer; any other byte after the
// signature makes the feed unsigned. The trailer is an ordinary XML comment, so the whole file is
// still well-formed XML, but only the signed bytes are ever parsed.
inline constexpr char feedSignaturePrefix[] = "<!-- ed25519-signature: ";
inline constexpr char feedSignatureSuffix[] = " -->";

// The signed document, after the signature has been checked with key; throws UpdateError
// (unsignedFeed or badFeedSignature).
QByteArray verifiedFeedDocument(const QByteArray& signedFeed, const Ed25519PublicKey& key);

}  // namespace veldran
