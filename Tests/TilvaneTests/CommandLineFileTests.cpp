#include "EditorTestServices.hpp"
#include "PreviewTestSupport.hpp"
#include "Tilvane/App/CommandLineFile.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tilvane::testing {
namespace {

TEST(CommandLineFile, AnAddressIsFileOrSchemeAndSlashesAndEveryOtherArgumentIsAName)
{
    const std::filesystem::path here = "/home/ana";
    struct Row {
        const char* name;
        std::string argument;
        std::optional<std::filesystem::path> file;
    };
    const std::vector<Row> rows = {
        {"empty", "", std::nullopt},
        {"relative name", "fotos/gato.png", here / "fotos/gato.png"},
        {"absolute name", "/tmp/gato.png", "/tmp/gato.png"},
        {"dots after a folder stay", "/tmp/a/../gato.png", "/tmp/a/../gato.png"},
        {"one dot and doubled slashes go", "./fotos//./gato.png", here / "fotos/gato.png"},
        {"a final slash stays", "fotos/", here / "fotos/"},
        {"a colon inside a name", "shot-10:20.png", here / "shot-10:20.png"},
        {"a name like a drive", "C:foo", here / "C:foo"},
        {"a short name with a colon", "a:b", here / "a:b"},
        {"a scheme without slashes is a name", "https:gato.png", here / "https:gato.png"},
        {"what stands before :// is no scheme", "10://gato.png", here / "10:/gato.png"},
        {"web address", "https://example.com/gato.png", std::nullopt},
        {"web address in capitals", "HTTPS://example.com/gato.png", std::nullopt},
        {"web address with a blank", "https://example.com/gato preto.png", std::nullopt},
        {"address of another kind", "ftp://example.com/gato.png", std::nullopt},
        {"file URL", "file:///tmp/gato%20preto.png", "/tmp/gato preto.png"},
        {"file URL with one slash", "file:/tmp/gato.png", "/tmp/gato.png"},
        {"file URL with dots", "file:///tmp/./link/../gato.png", "/tmp/link/../gato.png"},
        {"file URL in capitals on localhost", "FILE://localhost/tmp/gato.png", "/tmp/gato.png"},
        {"file URL of bytes that are not UTF-8", "file:///tmp/%FF%FE.png", "/tmp/\xff\xfe.png"},
        // Names no local file: looked for as typed, where nothing is, and never as "/tmp/a".
        {"file URL with a NUL byte", "file:///tmp/a%00b.png", here / "file:/tmp/a%00b.png"},
        {"file URL of another machine", "file://servidor/gato.png", here / "file:/servidor/gato.png"},
        {"relative file URL", "file:gato.png", here / "file:gato.png"},
        {"file URL with a blank", "file:///tmp/gato preto.png", here / "file:/tmp/gato preto.png"},
    };
    for (const Row& row : rows) {
        const auto file = commandLineFile(row.argument, here);
        EXPECT_EQ(file.has_value(), row.file.has_value()) << row.name;
        if (file && row.file) {
            EXPECT_EQ(file->native(), row.file->native()) << row.name;
        }
    }
}

// "link/../p.png" is the p.png above the link's target, as the system opens it, not the one beside the link.
TEST(CommandLineFile, DotsAfterALinkNameTheFileTheSystemOpens)
{
    TemporaryFolder folder;
    std::filesystem::create_directories(folder / "real/sub");
    std::filesystem::create_directory_symlink(folder / "real/sub", folder / "link");
    writeBytes(folder / "real/p.png", "inside");
    writeBytes(folder / "p.png", "beside");

    for (const std::string argument : {"link/../p.png", "./link/../p.png"}) {
        const auto file = commandLineFile(argument, folder.path());
        ASSERT_TRUE(file) << argument;
        EXPECT_EQ(fileBytes(*file), "inside") << argument;
    }
    const auto fromURL = commandLineFile("file://" + (folder / "link/../p.png").string(), "/");
    ASSERT_TRUE(fromURL);
    EXPECT_EQ(fileBytes(*fromURL), "inside");
}

}  // namespace
}  // namespace tilvane::testing
