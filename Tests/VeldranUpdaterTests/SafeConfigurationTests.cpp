#include "UpdateHarness.hpp"

#include "VeldranUpdater/HostBundle.hpp"

namespace {

using veldran::AppUpdater;

const QString tilvaneFeed = QStringLiteral("https://updates.veldran.studio/tilvane/updates/appcast.xml");

QString base64OfBytes(int count)
{
    return QString::fromLatin1(QByteArray(count, '\x5a').toBase64());
}

// The safe configuration with key set to value (removed when value is undefined).
struct Case {
    const char* name;
    const char* key;
    QJsonValue value;
    bool safe = false;
};

class SafeConfigurationTest : public testing::TestWithParam<Case> {};

TEST_P(SafeConfigurationTest, AcceptsOnlyTheSixSafeKeys)
{
    const QJsonObject info = changed(safeKeys(tilvaneFeed, base64OfBytes(32)), GetParam().key, GetParam().value);
    EXPECT_EQ(AppUpdater::hasSafeConfiguration(info, tilvaneFeed), GetParam().safe);
}

const QJsonValue removed(QJsonValue::Undefined);

INSTANTIATE_TEST_SUITE_P(EdgeCases, SafeConfigurationTest,
                         testing::Values(Case{"AllSixSafe", "SUFeedURL", tilvaneFeed, true},
                                         Case{"UnrelatedExtraKey", "CFBundleVersion", "7", true},
                                         Case{"FeedMissing", "SUFeedURL", removed},
                                         Case{"FeedOverPlainHttp", "SUFeedURL", QString(tilvaneFeed).remove(4, 1)},
                                         Case{"FeedWithTrailingSlash", "SUFeedURL", tilvaneFeed + "/"},
                                         Case{"FeedInUpperCase", "SUFeedURL", tilvaneFeed.toUpper()},
                                         Case{"FeedOfAnotherApp", "SUFeedURL", AppUpdater::feedURL("other")},
                                         Case{"KeyOf31Bytes", "SUPublicEDKey", base64OfBytes(31)},
                                         Case{"KeyOf33Bytes", "SUPublicEDKey", base64OfBytes(33)},
                                         Case{"KeyWithLineBreak", "SUPublicEDKey", base64OfBytes(32).insert(22, u'\n')},
                                         Case{"KeyWithoutPadding", "SUPublicEDKey", base64OfBytes(32).chopped(1)},
                                         Case{"KeyInUrlSafeAlphabet", "SUPublicEDKey",
                                              QString(QByteArray(32, '\xfb').toBase64(QByteArray::Base64UrlEncoding))},
                                         Case{"SignedFeedAsText", "SURequireSignedFeed", "true"},
                                         Case{"SignedFeedFalse", "SURequireSignedFeed", false},
                                         Case{"VerificationFalse", "SUVerifyUpdateBeforeExtraction", false},
                                         Case{"AutomaticUpdatesAllowed", "SUAllowsAutomaticUpdates", true},
                                         Case{"AutomaticUpdatesMissing", "SUAllowsAutomaticUpdates", removed},
                                         Case{"AutomaticUpdatesAsText", "SUAllowsAutomaticUpdates", "false"},
                                         Case{"AutomaticallyUpdateOn", "SUAutomaticallyUpdate", true},
                                         Case{"AutomaticallyUpdateAsZero", "SUAutomaticallyUpdate", 0}),
                         caseName);

TEST(BuiltBundle, CarriesSafeUpdateKeysForTheAppsFeedOnlyWhenBuiltForRelease)
{
    EXPECT_EQ(AppUpdater::feedURL("tilvane"), tilvaneFeed);
    const QJsonObject built = veldran::readBundleInfo(QStringLiteral(TILVANE_BUILT_BUNDLE));
    ASSERT_FALSE(built.isEmpty());
    EXPECT_EQ(AppUpdater::hasSafeConfiguration(built, tilvaneFeed), TILVANE_BUILT_BUNDLE_UPDATES);
    EXPECT_TRUE(AppUpdater::hasSafeConfiguration(veldran::readBundleInfo(TILVANE_RELEASE_BUNDLE), tilvaneFeed));
}

}  // namespace
