#include "PreviewTestSupport.hpp"

#include "Tilvane/Services/PNGFileWriter.hpp"
#include "TilvaneCore/Cancellation.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace tilvane {
namespace {

using testing::TemporaryFolder;

// Premultiplied pixels with partial alpha: the file must hold them un-premultiplied.
ImagePointer translucentImage()
{
    std::vector<std::uint8_t> straight = {200, 100, 50, 128, 255, 255, 255, 0, 10, 20, 30, 255, 90, 180, 240, 64};
    std::vector<std::uint8_t> premultiplied = straight;
    for (std::size_t offset = 0; offset < premultiplied.size(); offset += 4) {
        for (int channel = 0; channel < 3; ++channel) {
            premultiplied[offset + channel] = premultiply(premultiplied[offset + channel], premultiplied[offset + 3]);
        }
    }
    return Image::make(2, 2, std::move(premultiplied));
}

// Replaces an earlier file, leaving no temporary one beside it.
TEST(PNGFileWriter, WritesStraightAlphaRGBAAtFullSizeOverAnEarlierFile)
{
    TemporaryFolder folder;
    const auto target = folder.path() / "out.png";
    std::ofstream(target) << "old";
    const ImagePointer image = translucentImage();
    writePNG(target, *image);

    int width = 0;
    int height = 0;
    const auto pixels = testing::decodePNGPixels(target, width, height);
    ASSERT_TRUE(pixels.has_value());
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    const auto source = image->bytes();
    for (std::size_t offset = 0; offset < source.size(); offset += 4) {
        const std::uint32_t alpha = source[offset + 3];
        EXPECT_EQ((*pixels)[offset + 3], alpha);
        for (int channel = 0; channel < 3; ++channel) {
            const std::uint8_t expected = alpha == 0 ? 0 : unpremultiply(source[offset + channel], alpha);
            EXPECT_EQ((*pixels)[offset + channel], expected) << "pixel " << offset / 4 << " channel " << channel;
        }
    }
    EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"out.png"});
}

struct FailureCase {
    const char* name;
    bool cancelled;
    // Arranges the failure around the write.
    std::function<void(const std::filesystem::path& folder, const std::function<void()>& write)> arrange;
};

TEST(PNGFileWriter, AFailedWriteLeavesTheTargetAndNoTemporaryFile)
{
    const ImagePointer large = testing::noiseImage(300, 300);
    const FailureCase cases[] = {
        {"read-only folder", false,
         [](const std::filesystem::path& folder, const std::function<void()>& write) {
             testing::ReadOnlyFolder readOnly(folder);
             write();
         }},
        {"file size limit hit mid-write", false,
         [](const std::filesystem::path&, const std::function<void()>& write) {
             testing::FileSizeLimit limit(64 * 1024);
             write();
         }},
        {"cancelled before the rename", true,
         [](const std::filesystem::path&, const std::function<void()>& write) { write(); }},
    };
    for (const FailureCase& failure : cases) {
        SCOPED_TRACE(failure.name);
        TemporaryFolder folder;
        const auto target = folder.path() / "foto-tilvane.png";
        std::ofstream(target) << "previous export";
        std::stop_source stop;
        if (failure.cancelled) stop.request_stop();
        bool threw = false;
        failure.arrange(folder.path(), [&] {
            try {
                writePNG(target, *large, stop.get_token());
            } catch (const std::exception&) {
                threw = true;
            }
        });
        EXPECT_TRUE(threw);
        EXPECT_EQ(testing::fileBytes(target), "previous export");
        EXPECT_EQ(folder.entryNames(), std::vector<std::string>{"foto-tilvane.png"});
    }
}

TEST(PNGFileWriter, AFolderThatIsGoneFailsWithoutCreatingIt)
{
    TemporaryFolder folder;
    const auto gone = folder.path() / "gone";
    std::filesystem::create_directory(gone);
    std::filesystem::remove(gone);
    EXPECT_THROW(writePNG(gone / "foto-tilvane.png", *testing::stripedImage(8, 8)), std::system_error);
    EXPECT_FALSE(std::filesystem::exists(gone));
}

}  // namespace
}  // namespace tilvane
