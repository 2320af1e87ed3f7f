#include "VeldranUpdater/AppUpdater.hpp"
#include "VeldranUpdater/HostBundle.hpp"
#include "VeldranUpdater/Updater.hpp"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTemporaryDir>

#include <functional>

namespace {

using veldran::AppUpdater;

const QString tilvaneFeed = QStringLiteral("https://updates.veldran.studio/tilvane/updates/appcast.xml");

QString base64OfBytes(int count)
{
    return QString::fromLatin1(QByteArray(count, '\x5a').toBase64());
}

QJsonObject safeInfo()
{
    return QJsonObject{
        {"SUFeedURL", tilvaneFeed},
        {"SUPublicEDKey", base64OfBytes(32)},
        {"SURequireSignedFeed", true},
        {"SUVerifyUpdateBeforeExtraction", true},
        {"SUAllowsAutomaticUpdates", false},
        {"SUAutomaticallyUpdate", false},
    };
}

struct ConfigurationCase {
    const char* name;
    std::function<void(QJsonObject&)> change;
    bool safe;
};

void PrintTo(const ConfigurationCase& testCase, std::ostream* stream)
{
    *stream << testCase.name;
}


class SafeConfigurationTest : public testing::TestWithParam<ConfigurationCase> {};

TEST_P(SafeConfigurationTest, AcceptsOnlyTheSixSafeKeys)
{
    QJsonObject info = safeInfo();
    GetParam().change(info);
    EXPECT_EQ(AppUpdater::hasSafeConfiguration(info, tilvaneFeed), GetParam().safe);
}

void set(QJsonObject& info, const char* key, const QJsonValue& value)
{
    info.insert(QString::fromLatin1(key), value);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, SafeConfigurationTest,
    testing::Values(
        ConfigurationCase{"AllSixSafe", [](QJsonObject&) {}, true},
        ConfigurationCase{"UnrelatedExtraKey", [](QJsonObject& i) { set(i, "CFBundleVersion", "7"); }, true},
        ConfigurationCase{"Empty", [](QJsonObject& i) { i = QJsonObject(); }, false},
        ConfigurationCase{"FeedMissing", [](QJsonObject& i) { i.remove("SUFeedURL"); }, false},
        ConfigurationCase{"FeedOverPlainHttp",
                          [](QJsonObject& i) {
                              set(i, "SUFeedURL", "http://updates.veldran.studio/tilvane/updates/appcast.xml");
                          },
                          false},
        ConfigurationCase{"FeedWithTrailingSlash",
                          [](QJsonObject& i) { set(i, "SUFeedURL", tilvaneFeed + "/"); }, false},
        ConfigurationCase{"FeedOfAnotherApp",
                          [](QJsonObject& i) { set(i, "SUFeedURL", AppUpdater::feedURL("other")); }, false},
        ConfigurationCase{"FeedInUpperCase", [](QJsonObject& i) { set(i, "SUFeedURL", tilvaneFeed.toUpper()); },
                          false},
        ConfigurationCase{"FeedAsArray", [](QJsonObject& i) { set(i, "SUFeedURL", QJsonArray{tilvaneFeed}); },
                          false},
        ConfigurationCase{"KeyMissing", [](QJsonObject& i) { i.remove("SUPublicEDKey"); }, false},
        ConfigurationCase{"KeyOf31Bytes", [](QJsonObject& i) { set(i, "SUPublicEDKey", base64OfBytes(31)); },
                          false},
        ConfigurationCase{"KeyOf33Bytes", [](QJsonObject& i) { set(i, "SUPublicEDKey", base64OfBytes(33)); },
                          false},
        ConfigurationCase{"KeyWithLineBreak",
                          [](QJsonObject& i) {
                              QString key = base64OfBytes(32);
                              key.insert(22, u'\n');
                              set(i, "SUPublicEDKey", key);
                          },
                          false},
        ConfigurationCase{"KeyWithTrailingSpace",
                          [](QJsonObject& i) { set(i, "SUPublicEDKey", base64OfBytes(32) + " "); }, false},
        ConfigurationCase{"KeyWithoutPadding",
                          [](QJsonObject& i) { set(i, "SUPublicEDKey", base64OfBytes(32).chopped(1)); }, false},
        ConfigurationCase{"KeyInUrlSafeAlphabet",
                          [](QJsonObject& i) {
                              set(i, "SUPublicEDKey",
                                  QString::fromLatin1(QByteArray(32, '\xfb').toBase64(QByteArray::Base64UrlEncoding)));
                          },
                          false},
        ConfigurationCase{"KeyNotBase64", [](QJsonObject& i) { set(i, "SUPublicEDKey", QString(44, u'!')); },
                          false},
        ConfigurationCase{"KeyAsNumber", [](QJsonObject& i) { set(i, "SUPublicEDKey", 32); }, false},
        ConfigurationCase{"SignedFeedAsText", [](QJsonObject& i) { set(i, "SURequireSignedFeed", "true"); }, false},
        ConfigurationCase{"SignedFeedAsNumber", [](QJsonObject& i) { set(i, "SURequireSignedFeed", 1); }, false},
        ConfigurationCase{"SignedFeedFalse", [](QJsonObject& i) { set(i, "SURequireSignedFeed", false); }, false},
        ConfigurationCase{"SignedFeedMissing", [](QJsonObject& i) { i.remove("SURequireSignedFeed"); }, false},
        ConfigurationCase{"VerificationFalse",
                          [](QJsonObject& i) { set(i, "SUVerifyUpdateBeforeExtraction", false); }, false},
        ConfigurationCase{"VerificationNull",
                          [](QJsonObject& i) { set(i, "SUVerifyUpdateBeforeExtraction", QJsonValue()); }, false},
        ConfigurationCase{"AutomaticUpdatesAllowed",
                          [](QJsonObject& i) { set(i, "SUAllowsAutomaticUpdates", true); }, false},
        ConfigurationCase{"AutomaticUpdatesMissing",
                          [](QJsonObject& i) { i.remove("SUAllowsAutomaticUpdates"); }, false},
        ConfigurationCase{"AutomaticUpdatesAsText",
                          [](QJsonObject& i) { set(i, "SUAllowsAutomaticUpdates", "false"); }, false},
        ConfigurationCase{"AutomaticallyUpdateOn", [](QJsonObject& i) { set(i, "SUAutomaticallyUpdate", true); },
                          false},
        ConfigurationCase{"AutomaticallyUpdateMissing", [](QJsonObject& i) { i.remove("SUAutomaticallyUpdate"); },
                          false},
        ConfigurationCase{"AutomaticallyUpdateAsZero", [](QJsonObject& i) { set(i, "SUAutomaticallyUpdate", 0); },
                          false}),
    [](const testing::TestParamInfo<ConfigurationCase>& info) { return std::string(info.param.name); });

TEST(FeedAddress, IsTheAppFolderBelowTheUpdateHost)
{
    EXPECT_EQ(AppUpdater::feedURL("tilvane"), tilvaneFeed);
    EXPECT_EQ(AppUpdater("tilvane").feedURL(), tilvaneFeed);
    EXPECT_EQ(AppUpdater::feedURL("kelo"), "https://updates.veldran.studio/kelo/updates/appcast.xml");
}

TEST(FeedAddress, IsWhatTheDelegateHandsTheUpdater)
{
    QTemporaryDir settings;
    AppUpdater updater("tilvane");
    veldran::UpdaterServices services;
    services.settingsFile = settings.filePath("updater.ini");
    const veldran::Updater frameworkUpdater(settings.path(), updater, services);
    const auto& delegate = static_cast<const veldran::UpdaterDelegate&>(updater);
    EXPECT_EQ(delegate.feedURLString(frameworkUpdater), updater.feedURL());
    EXPECT_TRUE(delegate.allowedSystemProfileKeys(frameworkUpdater).isEmpty());
}

TEST(BuiltBundle, CarriesSafeUpdateKeysOnlyWhenBuiltForRelease)
{
    const QJsonObject built = veldran::readBundleInfo(QStringLiteral(TILVANE_BUILT_BUNDLE));
    ASSERT_FALSE(built.isEmpty());
    EXPECT_EQ(AppUpdater::hasSafeConfiguration(built, AppUpdater::feedURL("tilvane")), TILVANE_BUILT_BUNDLE_UPDATES);

    const QJsonObject release = veldran::readBundleInfo(QStringLiteral(TILVANE_RELEASE_BUNDLE));
    EXPECT_TRUE(AppUpdater::hasSafeConfiguration(release, AppUpdater::feedURL("tilvane")));
}

}  // namespace
