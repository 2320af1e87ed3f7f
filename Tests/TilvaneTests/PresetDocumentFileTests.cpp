#include "Tilvane/Services/PresetDocumentFile.hpp"

#include "TilvanePresets/PersonalPresetTransfer.hpp"

#include "PresetTestSupport.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace tilvane {
namespace {

using namespace presettesting;

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The description of what `read` throws, or nothing when it throws nothing.
std::optional<std::string> failureOf(const std::filesystem::path& path)
{
    try {
        readPresetDocument(path);
        return std::nullopt;
    } catch (const std::exception& error) {
        return error.what();
    }
}

TEST(PresetDocumentFile, AnExportedDocumentReadsBackWhole)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "nested" / "tilvane-preset.json";
    const auto preset = presetNamed("Retro", lookWithPixelSize(12));
    writePresetDocument(file, preset);
    EXPECT_EQ(readPresetDocument(file), PersonalPresetTransfer::encode(preset));
}

TEST(PresetDocumentFile, FilesThatCannotBeImportedAreRefusedAndLeftAsTheyWere)
{
    TemporaryFolder folder;
    const auto limit = PersonalPresetTransfer::maximumDocumentSize;
    const auto atLimit = folder.path() / "limit.json", overLimit = folder.path() / "big.json";
    writeFile(atLimit, std::string(limit, ' '));
    writeFile(overLimit, std::string(limit + 1, ' '));
    const auto unreadable = folder.path() / "locked.json";
    writeFile(unreadable, "{}");
    ::chmod(unreadable.c_str(), 0);
    const auto invalidData = std::string(PersonalPresetError(PersonalPresetErrorCase::invalidData).what());

    EXPECT_EQ(failureOf(atLimit), std::nullopt) << "exactly 1 MiB is still read";
    EXPECT_EQ(failureOf(overLimit), invalidData);
    const auto huge = folder.path() / "huge.json";
    writeFile(huge, "{");
    std::filesystem::resize_file(huge, std::uintmax_t{4} << 30);  // sparse: refused by its size, never read
    EXPECT_EQ(failureOf(huge), invalidData);
    EXPECT_EQ(failureOf(folder.path()),
              "Não foi possível ler o arquivo “" + folder.path().filename().string() + "”: é uma pasta.");
    EXPECT_EQ(failureOf(folder.path() / "missing.json"), "Não foi possível ler o arquivo “missing.json”: não existe.");
    const auto pipe = folder.path() / "pipe.json";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(failureOf(pipe), "Não foi possível ler o arquivo “pipe.json”: não é um arquivo comum.")
        << "a FIFO without a writer is refused at once, not waited on";
    if (::geteuid() != 0) {
        EXPECT_EQ(failureOf(unreadable), "Não foi possível ler o arquivo “locked.json”: sem permissão de leitura.");
    }
    EXPECT_EQ(std::filesystem::file_size(overLimit), limit + 1);
    ::chmod(unreadable.c_str(), 0600);
    EXPECT_EQ(checksum(unreadable), QCryptographicHash::hash("{}", QCryptographicHash::Sha256).toHex());
}

TEST(PresetDocumentFile, AFailedExportKeepsTheFileThatWasThere)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "tilvane-preset.json";
    writeFile(file, "antigo");
    const auto before = checksum(file);
    EXPECT_THROW(writePresetDocument(file, presetNamed("   ")), PersonalPresetError) << "a blank name is refused";
    EXPECT_EQ(checksum(file), before);
}

}  // namespace
}  // namespace tilvane
