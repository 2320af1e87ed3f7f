// An update archive past the signature check (the harness calls the extractor directly), extracted
// into a fresh staging folder: whatever it holds, nothing may land outside that folder.

#include "FuzzSupport.hpp"

#include "VeldranUpdater/ArchiveExtractor.hpp"
#include "VeldranUpdater/UpdateError.hpp"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tilvane;
    const auto root = fuzz::scratchFolder() / "archive";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "staging");
    std::filesystem::create_directories(root / "outside");
    const auto archive = root / "update.archive";
    std::ofstream(archive, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        veldran::extractArchive(QString::fromStdString(archive.string()),
                                QString::fromStdString((root / "staging").string()), {64 * 1024 * 1024, 1000, 10'000});
    } catch (const veldran::UpdateError&) {
    }
    fuzz::require(std::filesystem::is_empty(root / "outside"), "an entry was written outside the staging folder");
    const QStringList beside = QDir(QString::fromStdString(root.string()))
                                   .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    fuzz::require(beside == QStringList({"outside", "staging", "update.archive"}),
                  "an entry was written beside the staging folder");
    // What the extractor made must be removable by its owner, as the updater removes staging after a failure.
    fuzz::require(QDir(QString::fromStdString(root.string())).removeRecursively(),
                  "the staging folder could not be removed");
    return 0;
}
