#include "SigningKey.hpp"
#include "UpdateHarness.hpp"

#include "VeldranUpdater/Appcast.hpp"
#include "VeldranUpdater/SignedFeed.hpp"
#include "VeldranUpdater/UpdateError.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace {

using veldran::UpdateErrorCase;

const QByteArray document = appcastDocument({{"2", QUrl("https://example.test/X-2.tar.gz"), 10, QByteArray(88, 'A')}});

std::optional<UpdateErrorCase> refusal(const QByteArray& feed, const SigningKey& key)
{
    try {
        const QByteArray verified
            = veldran::verifiedFeedDocument(feed, *veldran::Ed25519PublicKey::fromBase64(key.publicKeyBase64()));
        EXPECT_EQ(verified, document);
        return std::nullopt;
    } catch (const veldran::UpdateError& error) {
        return error.errorCase();
    }
}

struct FeedCase {
    const char* name;
    std::function<QByteArray(const SigningKey&)> feed;
    std::optional<UpdateErrorCase> refusal;
};

void PrintTo(const FeedCase& testCase, std::ostream* stream)
{
    *stream << testCase.name;
}


class SignedFeedTest : public testing::TestWithParam<FeedCase> {};

TEST_P(SignedFeedTest, VerifiesBeforeAnythingIsParsed)
{
    const SigningKey key;
    EXPECT_EQ(refusal(GetParam().feed(key), key), GetParam().refusal);
}

QByteArray flipped(QByteArray bytes, qsizetype index)
{
    bytes[index] = char(bytes[index] ^ 0x01);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Feeds, SignedFeedTest,
    testing::Values(
        FeedCase{"Signed", [](const SigningKey& key) { return key.signedFeed(document); }, std::nullopt},
        FeedCase{"SignedWithoutFinalNewline",
                 [](const SigningKey& key) { return key.signedFeed(document).chopped(1); }, std::nullopt},
        FeedCase{"Unsigned", [](const SigningKey&) { return document; }, UpdateErrorCase::unsignedFeed},
        FeedCase{"Empty", [](const SigningKey&) { return QByteArray(); }, UpdateErrorCase::unsignedFeed},
        FeedCase{"TamperedDocumentByte",
                 [](const SigningKey& key) { return flipped(key.signedFeed(document), 60); },
                 UpdateErrorCase::badFeedSignature},
        FeedCase{"TamperedSignatureByte",
                 [](const SigningKey& key) {
                     QByteArray feed = key.signedFeed(document);
                     const qsizetype signatureStart = feed.lastIndexOf("signature: ") + 11;
                     feed[signatureStart] = feed[signatureStart] == 'A' ? 'B' : 'A';
                     return feed;
                 },
                 UpdateErrorCase::badFeedSignature},
        FeedCase{"SignedByAnotherKey", [](const SigningKey&) { return SigningKey().signedFeed(document); },
                 UpdateErrorCase::badFeedSignature},
        FeedCase{"BytesAfterTheSignature",
                 [](const SigningKey& key) { return key.signedFeed(document) + "<rss/>"; },
                 UpdateErrorCase::unsignedFeed},
        FeedCase{"TwoNewlinesAfterTheSignature",
                 [](const SigningKey& key) { return key.signedFeed(document) + "\n"; }, UpdateErrorCase::unsignedFeed},
        FeedCase{"SignatureWithLineBreak",
                 [](const SigningKey& key) {
                     QByteArray feed = key.signedFeed(document);
                     return feed.insert(feed.lastIndexOf("signature: ") + 20, '\n');
                 },
                 UpdateErrorCase::unsignedFeed}),
    [](const testing::TestParamInfo<FeedCase>& info) { return std::string(info.param.name); });

std::optional<UpdateErrorCase> parseRefusal(const QByteArray& xml)
{
    try {
        veldran::parseAppcast(xml);
        return std::nullopt;
    } catch (const veldran::UpdateError& error) {
        return error.errorCase();
    }
}

TEST(Appcast, ReadsEveryItemAndPicksTheNewestAboveTheRunningBuild)
{
    const QByteArray signature = QByteArray(64, '\x07').toBase64();
    const auto items = veldran::parseAppcast(appcastDocument({
        {"1.9", QUrl("https://example.test/a.tar.gz"), 5, signature},
        {"1.10", QUrl("https://example.test/b.tar.gz"), 6, signature},
        {"1.2", QUrl("https://example.test/c.tar.gz"), 7, signature},
    }));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].title, "Tilvane 1.10");
    EXPECT_EQ(items[1].archiveLength, 6);
    EXPECT_EQ(items[1].archiveSignature, QByteArray(64, '\x07'));

    const auto newest = veldran::newestItemAbove(items, *veldran::BuildVersion::parse(u"1.2"));
    ASSERT_TRUE(newest.has_value());
    EXPECT_EQ(newest->archiveURL, QUrl("https://example.test/b.tar.gz"));
    EXPECT_FALSE(veldran::newestItemAbove(items, *veldran::BuildVersion::parse(u"1.10.0")).has_value());
}

TEST(Appcast, RefusesDoctypesAndIncompleteItems)
{
    const QByteArray signature = QByteArray(64, '\x07').toBase64();
    QByteArray withDoctype = appcastDocument({{"2", QUrl("https://example.test/a"), 5, signature}});
    withDoctype.insert(withDoctype.indexOf("<rss"), "<!DOCTYPE rss [<!ENTITY big \"bigger\">]>\n");
    EXPECT_EQ(parseRefusal(withDoctype), UpdateErrorCase::malformedFeed);

    EXPECT_EQ(parseRefusal(appcastDocument({{"2", QUrl("https://example.test/a"), 5, "c2hvcnQ="}})),
              UpdateErrorCase::malformedFeed);
    EXPECT_EQ(parseRefusal(appcastDocument({{"2", QUrl("https://example.test/a"), 0, signature}})),
              UpdateErrorCase::malformedFeed);
    EXPECT_EQ(parseRefusal(appcastDocument({{"2.x", QUrl("https://example.test/a"), 5, signature}})),
              UpdateErrorCase::malformedFeed);
    EXPECT_EQ(parseRefusal("<rss><channel><item>"), UpdateErrorCase::malformedFeed);
    EXPECT_EQ(parseRefusal("<feed/>"), UpdateErrorCase::malformedFeed);
    EXPECT_EQ(parseRefusal(appcastDocument({})), std::nullopt);
}

TEST(BuildVersion, ComparesNumberByNumber)
{
    using veldran::BuildVersion;
    EXPECT_LT(*BuildVersion::parse(u"1.9"), *BuildVersion::parse(u"1.10"));
    EXPECT_EQ(*BuildVersion::parse(u"2"), *BuildVersion::parse(u"2.0.0"));
    EXPECT_GT(*BuildVersion::parse(u"12"), *BuildVersion::parse(u"3.99"));
    for (const char16_t* bad : {u"", u"1.", u".1", u"1..2", u"v2", u"1.2-beta", u" 1", u"1234567890"}) {
        EXPECT_FALSE(BuildVersion::parse(bad).has_value()) << QString::fromUtf16(bad).toStdString();
    }
}

}  // namespace
