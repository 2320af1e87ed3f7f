#pragma once

#include "TilvaneShared/EnumeratedError.hpp"

namespace veldran {

// Why starting the updater or one update failed; every case reads as a sentence for the user.
enum class UpdateErrorCase {
    invalidPublicKey,
    missingBuildVersion,
    unsupportedSetting,
    insecureAddress,
    feedUnavailable,
    feedTooLarge,
    unsignedFeed,
    badFeedSignature,
    malformedFeed,
    archiveUnavailable,
    archiveLengthMismatch,
    badArchiveSignature,
    unsafeArchiveEntry,
    malformedArchive,
    invalidUpdateBundle,
    stagingUnavailable,
    installFailed,
    rollbackFailed,
};

const char* message(UpdateErrorCase errorCase) noexcept;

using UpdateError = tilvane::EnumeratedError<UpdateErrorCase>;

}  // namespace veldran
