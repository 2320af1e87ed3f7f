#include "TilvanePresets/Url.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tilvane::testing {
namespace {

TEST(Url, LocalFilePathIsTheFileOfALocalFileURLAndNothingElse)
{
    struct Row {
        const char* name;
        std::string text;
        std::optional<std::filesystem::path> path;
    };
    const std::vector<Row> rows = {
        {"file URL", "file:///tmp/gato%20preto.png", "/tmp/gato preto.png"},
        {"on localhost, in capitals", "FILE://LocalHost/tmp/gato.png", "/tmp/gato.png"},
        {"bytes that are not UTF-8", "file:///tmp/%FF%FE.png", "/tmp/\xff\xfe.png"},
        {"query and fragment are not the path", "file:///tmp/gato.png?x=1#y", "/tmp/gato.png"},
        {"another machine", "file://servidor/gato.png", std::nullopt},
        {"relative", "file:gato.png", std::nullopt},
        {"web address", "https://example.com/gato.png", std::nullopt},
        // Read up to the NUL, the name would be "/tmp/a": another file.
        {"NUL byte", "file:///tmp/a%00b.png", std::nullopt},
        {"NUL byte at the end", "file:///tmp/a.png%00", std::nullopt},
        {"NUL byte in a folder", "file:///tmp/a%00/b.png", std::nullopt},
    };
    for (const Row& row : rows) {
        const auto url = Url::parse(row.text);
        ASSERT_TRUE(url) << row.name;
        EXPECT_EQ(url->localFilePath(), row.path) << row.name;
    }
    EXPECT_EQ(Url::parse(Url::file(std::string("/tmp/a\0b.png", 12)).string())->localFilePath(), std::nullopt)
        << "a name with a NUL written as a URL does not come back as another file";
}

}  // namespace
}  // namespace tilvane::testing
