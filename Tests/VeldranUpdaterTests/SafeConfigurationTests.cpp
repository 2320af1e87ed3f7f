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
struct ConfigurationCase {
    const char* name;
    const char* key;
    QJsonValue value;
    bool safe = false;
};

class SafeConfigurationTest : public testing::TestWithParam<ConfigurationCase> {};

TEST_P(SafeConfigurationTest, AcceptsOnlyTheSixSafeKeys)
{
    const QJsonObject info = changed(safeKeys(tilvaneFeed, base64OfBytes(32)), GetParam().key, GetParam().value);
    EXPECT_EQ(AppUpdater::hasSafeConfiguration(info, tilvaneFeed), GetParam().safe);
}

const QJsonValue removed(QJsonValue::Undefined);

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, SafeConfigurationTest,
    testing::Values(
        ConfigurationCase{"AllSixSafe", "SUFeedURL", tilvaneFeed, true},
        ConfigurationCase{"UnrelatedExtraKey", "CFBundleVersion", "7", true},
        ConfigurationCase{"FeedMissing", "SUFeedURL", removed},
        ConfigurationCase{"FeedOverPlainHttp", "SUFeedURL", QString(tilvaneFeed).remove(4, 1)},
        ConfigurationCase{"FeedWithTrailingSlash", "SUFeedURL", tilvaneFeed + "/"},
        ConfigurationCase{"FeedOfAnotherApp", "SUFeedURL", AppUpdater::feedURL("other")},
        ConfigurationCase{"FeedInUpperCase", "SUFeedURL", tilvaneFeed.toUpper()},
        ConfigurationCase{"KeyOf31Bytes", "SUPublicEDKey", base64OfBytes(31)},
        ConfigurationCase{"KeyOf33Bytes", "SUPublicEDKey", base64OfBytes(33)},
        ConfigurationCase{"KeyWithLineBreak", "SUPublicEDKey", base64OfBytes(32).insert(22, u'\n')},
        ConfigurationCase{"KeyWithoutPadding", "SUPublicEDKey", base64OfBytes(32).chopped(1)},
        ConfigurationCase{"KeyInUrlSafeAlphabet", "SUPublicEDKey", QString(QByteArray(32, '\xfb').toBase64(QByteArray::Base64UrlEncoding))},
        ConfigurationCase{"SignedFeedAsText", "SURequireSignedFeed", "true"},
        ConfigurationCase{"SignedFeedFalse", "SURequireSignedFeed", false},
        ConfigurationCase{"VerificationFalse", "SUVerifyUpdateBeforeExtraction", false},
        ConfigurationCase{"AutomaticUpdatesAllowed", "SUAllowsAutomaticUpdates", true},
        ConfigurationCase{"AutomaticUpdatesMissing", "SUAllowsAutomaticUpdates", removed},
        ConfigurationCase{"AutomaticUpdatesAsText", "SUAllowsAutomaticUpdates", "false"},
        ConfigurationCase{"AutomaticallyUpdateOn", "SUAutomaticallyUpdate", true},
        ConfigurationCase{"AutomaticallyUpdateAsZero", "SUAutomaticallyUpdate", 0}),
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
