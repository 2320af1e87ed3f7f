#include "TilvanePresets/Url.hpp"

#include <gtest/gtest.h>

namespace tilvane {
namespace {

TEST(Url, FilePathsRoundTripWithEveryByte)
{
    const std::filesystem::path paths[] = {
        "/home/ana/Fotos/gato preto.png", "/tmp/a%20b#c?d;e.png", std::string("/tmp/\xff\xfe latin1 \xe9.png"),
        "/tmp/ação/😀.jpg", "/"};
    for (const auto& path : paths) {
        const Url url = Url::file(path);
        EXPECT_TRUE(url.isFileURL());
        EXPECT_EQ(url.path(), path);
        const auto parsed = Url::parse(url.string());
        ASSERT_TRUE(parsed.has_value()) << url.string();
        EXPECT_EQ(*parsed, url);
        EXPECT_EQ(parsed->path(), path);
    }
}

TEST(Url, FileTextIsPercentEncoded)
{
    EXPECT_EQ(Url::file("/home/ana/gato preto.png").string(), "file:///home/ana/gato%20preto.png");
    EXPECT_EQ(Url::file("/tmp/\xe9").string(), "file:///tmp/%E9");
    EXPECT_EQ(Url::file("/a#b?c").string(), "file:///a%23b%3Fc");
}

TEST(Url, ParseRefusesWhatIsNoUrl)
{
    EXPECT_FALSE(Url::parse(""));
    EXPECT_FALSE(Url::parse("file:///a b"));
    EXPECT_FALSE(Url::parse("file:///a%2"));
    EXPECT_FALSE(Url::parse("file:///a%zz"));
    EXPECT_FALSE(Url::parse("file:///ação"));
    EXPECT_FALSE(Url::parse("file:///a\nb"));
}

TEST(Url, SchemeAndPathOfOtherUrls)
{
    const auto web = Url::parse("HTTPS://example.com/a%20b.png?x=1#top");
    ASSERT_TRUE(web);
    EXPECT_EQ(web->scheme(), "https");
    EXPECT_FALSE(web->isFileURL());
    EXPECT_EQ(web->path(), "/a b.png");

    const auto relative = Url::parse("fotos/gato.png");
    ASSERT_TRUE(relative);
    EXPECT_EQ(relative->scheme(), "");
    EXPECT_FALSE(relative->isFileURL());

    const auto emptyPath = Url::parse("file://");
    ASSERT_TRUE(emptyPath);
    EXPECT_TRUE(emptyPath->isFileURL());
    EXPECT_TRUE(emptyPath->path().empty());

    const auto withHost = Url::parse("file://localhost/tmp/x");
    ASSERT_TRUE(withHost);
    EXPECT_EQ(withHost->path(), "/tmp/x");
}

}  // namespace
}  // namespace tilvane
