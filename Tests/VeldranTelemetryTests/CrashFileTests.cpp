#include "TestSupport.hpp"

#include "VeldranTelemetry/CrashFileReader.hpp"

#include <QFile>

#include <gtest/gtest.h>

#include <csignal>

namespace veldran {
namespace {

std::optional<CrashEvent> parse(const nlohmann::json& document)
{
    return CrashFileReader::parse(QByteArray::fromStdString(document.dump()));
}

// A corrupt file may hold one very long line; reading it must not take the process down at every start.
TEST(CrashFileReader, ReadsVeryLongMapsLinesWithoutOverflowingTheStack)
{
    const std::string longPath = "/" + std::string(600 * 1024, 'a');
    auto document = testing::sampleCrashDocument();
    document["maps"] = "00400000-00401000 r-xp 00000000 08:01 1234 " + longPath + "\n";
    const auto event = parse(document);
    ASSERT_TRUE(event);
    ASSERT_EQ(event->debugImages.size(), 1u);
    EXPECT_EQ(event->debugImages.front().codeFile, longPath);
    document["maps"] = "00400000-00401000 r-xp 00000000 08:" + std::string(600 * 1024, '1') + " 1234 /a\n";
    EXPECT_FALSE(parse(document));
}

TEST(CrashFileReader, TurnsAStoredCrashIntoAFatalEventWithImagesAndFrames)
{
    const auto event = parse(testing::sampleCrashDocument());
    ASSERT_TRUE(event);
    EXPECT_EQ(event->level, CrashLevel::fatal);
    EXPECT_EQ(event->timestamp, 1765000000);
    EXPECT_EQ(event->releaseName, "studio.veldran.tilvane@1.2.3+45");
    ASSERT_EQ(event->exceptions.size(), 1u);
    const auto& exception = event->exceptions.front();
    EXPECT_EQ(exception.type, "SIGSEGV");
    EXPECT_EQ(exception.mechanism.value().handled, false);
    ASSERT_EQ(exception.stacktrace.value().frames.size(), 3u);
    EXPECT_EQ(exception.stacktrace->frames.front().instructionAddress, "0x401200");  // outermost first
    ASSERT_EQ(event->threads.size(), 1u);
    EXPECT_EQ(event->threads.front().name, "tilvane");
    // Only files that hold code are images: the mapped picture's name stays on the machine.
    EXPECT_EQ(event->debugImages, (std::vector<CrashDebugImage>{{"/opt/Tilvane.app/bin/tilvane", "0x400000", 0x2000},
                                      {"/usr/lib/libc.so.6", "0x7f0000000000", 0x10000}}));
}

struct MalformedRow {
    const char* name;
    std::function<void(nlohmann::json&)> change;
};

class MalformedCrashFile : public ::testing::TestWithParam<MalformedRow> {};

TEST_P(MalformedCrashFile, IsRefused)
{
    auto document = testing::sampleCrashDocument();
    GetParam().change(document);
    EXPECT_FALSE(parse(document));
}

INSTANTIATE_TEST_SUITE_P(Rows, MalformedCrashFile,
    ::testing::Values(
        MalformedRow{"signal_as_text", [](auto& d) { d["signal"] = "11"; }},
        MalformedRow{"time_negative", [](auto& d) { d["time"] = -5; }},
        MalformedRow{"time_beyond_64_bits", [](auto& d) { d["time"] = std::uint64_t{1} << 63; }},
        MalformedRow{"frame_as_number", [](auto& d) { d["frames"][1] = 4096; }},
        MalformedRow{"frame_not_hexadecimal", [](auto& d) { d["frames"][1] = "0xzz"; }},
        MalformedRow{"no_frames", [](auto& d) { d["frames"] = nlohmann::json::array(); }},
        MalformedRow{"unknown_signal", [](auto& d) { d["signal"] = 9; }},
        MalformedRow{"name_not_matching_signal", [](auto& d) { d["name"] = "SIGABRT"; }},
        MalformedRow{"other_format", [](auto& d) { d["format"] = "other"; }},
        MalformedRow{"missing_key", [](auto& d) { d.erase("maps"); }},
        MalformedRow{"extra_key", [](auto& d) { d["user"] = "ana"; }},
        MalformedRow{"broken_maps_line", [](auto& d) { d["maps"] = "not a mapping\n"; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CrashFileReader, RefusesBrokenJsonAbsentFilesAndFilesOverOneMebibyte)
{
    EXPECT_FALSE(CrashFileReader::parse("{\"format\": \"veldran-crash\""));
    EXPECT_FALSE(CrashFileReader::parse("[]"));
    QTemporaryDir folder;
    auto document = testing::sampleCrashDocument();
    document["maps"] = document["maps"].get<std::string>() + std::string(CrashFileReader::largestFile, ' ');
    QFile large(folder.filePath("crash-1-1.json"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    large.write(QByteArray::fromStdString(document.dump()));
    large.close();
    EXPECT_FALSE(CrashFileReader::read(large.fileName()));
    EXPECT_FALSE(CrashFileReader::read(folder.filePath("absent.json")));
}

class CrashingChild : public ::testing::TestWithParam<std::pair<const char*, int>> {};

// The test binary runs itself as a child that arms the handler and crashes.
TEST_P(CrashingChild, LeavesExactlyOneOwnerOnlyCrashFile)
{
    const auto [kind, signal] = GetParam();
    QTemporaryDir folder;
    ASSERT_EQ(testing::runCrashingChild(folder.path(), kind), signal);

    const QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(files.size(), 1) << files.join(", ").toStdString();
    EXPECT_TRUE(files.front().startsWith("crash-") && files.front().endsWith(".json")) << files.front().toStdString();
    const QString path = QDir(folder.path()).filePath(files.front());
    EXPECT_EQ(testing::permissionsOf(path), 0600u);

    const auto event = CrashFileReader::read(path);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->exceptions.front().type, signal == SIGSEGV ? "SIGSEGV" : "SIGABRT");
    EXPECT_EQ(event->releaseName, "studio.veldran.tilvane@1.2.3+45");
    EXPECT_GE(event->exceptions.front().stacktrace->frames.size(), 2u);
    EXPECT_TRUE(std::ranges::any_of(event->debugImages,
        [](const CrashDebugImage& image) { return image.codeFile && image.codeFile->ends_with("VeldranTelemetryTests"); }));
}

INSTANTIATE_TEST_SUITE_P(Signals, CrashingChild,
    ::testing::Values(std::pair{"segv", SIGSEGV}, std::pair{"abort", SIGABRT}),
    [](const auto& info) { return std::string(info.param.first); });

}  // namespace
}  // namespace veldran
