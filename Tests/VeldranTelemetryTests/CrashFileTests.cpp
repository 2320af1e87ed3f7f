#include "TestSupport.hpp"

#include "VeldranTelemetry/Bundle.hpp"
#include "VeldranTelemetry/CrashFileReader.hpp"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

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
    const std::string longPath = std::string(1, '/').append(600 * 1024, 'a');
    auto document = testing::sampleCrashDocument();
    document["maps"] = "00400000-00401000 r-xp 00000000 08:01 1234 " + longPath + "\n";
    EXPECT_EQ(parse(document).value().debugImages, (std::vector<CrashDebugImage>{{longPath, "0x400000", 0x1000}}));
    document["maps"] = "00400000-00401000 r-xp 00000000 08:" + std::string(600 * 1024, '1') + " 1234 /a\n";
    EXPECT_FALSE(parse(document));
}

TEST(CrashFileReader, TurnsAStoredCrashIntoAFatalEventWithImagesAndFrames)
{
    const auto event = parse(testing::sampleCrashDocument()).value();
    EXPECT_EQ(
        std::tuple(event.level, event.timestamp, event.releaseName, event.exceptions.size(), event.threads.size()),
        std::tuple(CrashLevel::fatal, 1765000000, "studio.veldran.tilvane@1.2.3+45", 1u, 1u));
    const auto& exception = event.exceptions.front();
    EXPECT_EQ(std::tuple(exception.type, exception.mechanism.value().handled, event.threads.front().name),
              std::tuple("SIGSEGV", false, "tilvane"));
    const auto& frames = exception.stacktrace.value().frames;
    EXPECT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames.at(0).instructionAddress, "0x401200");  // outermost first
    // Only files that hold code are images: the mapped picture's name stays on the machine.
    EXPECT_EQ(event.debugImages, (std::vector<CrashDebugImage>{{"/opt/Tilvane.app/bin/tilvane", "0x400000", 0x2000},
                                                               {"/usr/lib/libc.so.6", "0x7f0000000000", 0x10000}}));
}

TEST(CrashFileReader, RefusesDocumentsOfAnotherShape)
{
    const std::vector<std::pair<const char*, std::function<void(nlohmann::json&)>>> rows = {
        {"signal_as_text", [](auto& d) { d["signal"] = "11"; }},
        {"time_negative", [](auto& d) { d["time"] = -5; }},
        {"time_beyond_64_bits", [](auto& d) { d["time"] = std::uint64_t{1} << 63; }},
        {"frame_as_number", [](auto& d) { d["frames"][1] = 4096; }},
        {"frame_not_hexadecimal", [](auto& d) { d["frames"][1] = "0xzz"; }},
        {"no_frames", [](auto& d) { d["frames"] = nlohmann::json::array(); }},
        {"unknown_signal", [](auto& d) { d["signal"] = 9; }},
        {"name_not_matching_signal", [](auto& d) { d["name"] = "SIGABRT"; }},
        {"other_format", [](auto& d) { d["format"] = "other"; }},
        {"missing_key", [](auto& d) { d.erase("maps"); }},
        {"extra_key", [](auto& d) { d["user"] = "ana"; }},
        {"broken_maps_line", [](auto& d) { d["maps"] = "not a mapping\n"; }},
    };
    for (const auto& [name, change] : rows) {
        auto document = testing::sampleCrashDocument();
        change(document);
        EXPECT_FALSE(parse(document)) << name;
    }
}

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

// Runs `read` on its own thread; a read still blocked after five seconds fails the test and is then
// released by a writer that opens and closes the FIFO at `fifo`.
template <typename Read>
auto resultWithoutBlocking(const QString& fifo, Read read)
{
    auto outcome = std::async(std::launch::async, read);
    if (outcome.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ADD_FAILURE() << "the read blocked on " << fifo.toStdString();
        const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    return outcome.get();
}

TEST(CrashFileReader, NeverWaitsOnAFifoAndRefusesBytesAfterANul)
{
    QTemporaryDir folder;
    const QString fifo = folder.filePath("crash-1-1.json");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(resultWithoutBlocking(fifo, [&] { return CrashFileReader::read(fifo); }));

    ASSERT_TRUE(QDir(folder.path()).mkpath("X.app/Resources"));
    const QString info = folder.filePath("X.app/Resources/Info.json");
    ASSERT_EQ(::mkfifo(QFile::encodeName(info).constData(), 0600), 0);
    EXPECT_FALSE(resultWithoutBlocking(info, [&] { return Bundle(folder.filePath("X.app")).text("CFBundleVersion"); }));

    const QByteArray document = QByteArray::fromStdString(testing::sampleCrashDocument().dump());
    EXPECT_TRUE(CrashFileReader::parse(document + " \n"));
    EXPECT_FALSE(CrashFileReader::parse(document + QByteArray("\0{{{", 4)));
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

    const auto event = CrashFileReader::read(path).value();
    EXPECT_EQ(std::tuple(event.exceptions.at(0).type, event.releaseName),
              std::tuple(signal == SIGSEGV ? "SIGSEGV" : "SIGABRT", "studio.veldran.tilvane@1.2.3+45"));
    EXPECT_GE(event.exceptions.front().stacktrace.value().frames.size(), 2u);
    EXPECT_TRUE(std::ranges::any_of(event.debugImages, [](const CrashDebugImage& image) {
        return image.codeFile && image.codeFile->ends_with("VeldranTelemetryTests");
    }));
}

INSTANTIATE_TEST_SUITE_P(Signals, CrashingChild,
                         ::testing::Values(std::pair{"segv", SIGSEGV}, std::pair{"abort", SIGABRT}),
                         [](const auto& info) { return std::string(info.param.first); });

}  // namespace
}  // namespace veldran
