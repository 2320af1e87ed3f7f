#include "UpdateHarness.hpp"

#include "VeldranUpdater/Appcast.hpp"
#include "VeldranUpdater/SignedFeed.hpp"

namespace {

using veldran::UpdateErrorCase;

const QByteArray signature = QByteArray(64, '\x07').toBase64();
const QByteArray document = appcastDocument({{"2", QUrl("https://example.test/X-2.tar.gz"), 10, signature}});

struct FeedCase {
    const char* name;
    std::function<QByteArray(const SigningKey&)> feed;
    std::optional<UpdateErrorCase> refusal;
};

class SignedFeedTest : public testing::TestWithParam<FeedCase> {};

TEST_P(SignedFeedTest, VerifiesBeforeAnythingIsParsed)
{
    const SigningKey key;
    const auto publicKey = veldran::Ed25519PublicKey::fromBase64(key.publicKeyBase64());
    EXPECT_EQ(refusalOf([&] { EXPECT_EQ(veldran::verifiedFeedDocument(GetParam().feed(key), *publicKey), document); }),
              GetParam().refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Feeds, SignedFeedTest,
    testing::Values(
        FeedCase{"Signed", [](const SigningKey& k) { return k.signedFeed(document); }, std::nullopt},
        FeedCase{"Unsigned", [](const SigningKey&) { return document; }, UpdateErrorCase::unsignedFeed},
        FeedCase{"TamperedDocumentByte", [](const SigningKey& k) { return changedAt(k.signedFeed(document), 60); },
                 UpdateErrorCase::badFeedSignature},
        FeedCase{"TamperedSignatureByte",
                 [](const SigningKey& k) { return changedAt(k.signedFeed(document), document.size() + 24); },
                 UpdateErrorCase::badFeedSignature},
        FeedCase{"SignedByAnotherKey", [](const SigningKey&) { return SigningKey().signedFeed(document); },
                 UpdateErrorCase::badFeedSignature},
        FeedCase{"BytesAfterTheSignature", [](const SigningKey& k) { return k.signedFeed(document) + "<rss/>"; },
                 UpdateErrorCase::unsignedFeed},
        FeedCase{"SignatureWithLineBreak",
                 [](const SigningKey& k) { return k.signedFeed(document).insert(document.size() + 33, '\n'); },
                 UpdateErrorCase::unsignedFeed}),
    caseName);

TEST(Appcast, ReadsEveryItemAndPicksTheNewestAboveTheRunningBuild)
{
    const auto items = veldran::parseAppcast(appcastDocument({
        {"1.9", QUrl("https://example.test/a.tar.gz"), 5, signature},
        {"1.10", QUrl("https://example.test/b.tar.gz"), 6, signature},
        {"1.2", QUrl("https://example.test/c.tar.gz"), 7, signature},
    }));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].archiveSignature, QByteArray(64, '\x07'));
    EXPECT_EQ(veldran::newestItemAbove(items, *veldran::BuildVersion::parse(u"1.2"))->archiveURL,
              QUrl("https://example.test/b.tar.gz"));
    EXPECT_FALSE(veldran::newestItemAbove(items, *veldran::BuildVersion::parse(u"1.10.0")).has_value());
}

TEST(Appcast, RefusesDoctypesAndIncompleteItems)
{
    QByteArray withDoctype = document;
    withDoctype.insert(withDoctype.indexOf("<rss"), "<!DOCTYPE rss [<!ENTITY big \"bigger\">]>\n");
    for (const QByteArray& xml : {withDoctype, appcastDocument({{"2", QUrl("https://example.test/a"), 5, "c2hvcnQ="}}),
                                  appcastDocument({{"2", QUrl("https://example.test/a"), 0, signature}}),
                                  appcastDocument({{"2.x", QUrl("https://example.test/a"), 5, signature}}),
                                  QByteArray("<rss><channel><item>"), QByteArray("<feed/>")}) {
        EXPECT_EQ(refusalOf([&] { veldran::parseAppcast(xml); }), UpdateErrorCase::malformedFeed) << xml.toStdString();
    }
    EXPECT_TRUE(veldran::parseAppcast(appcastDocument({})).empty());
}

}  // namespace
