#include "PreviewTestSupport.hpp"

#include "Tilvane/Services/DesktopReduceMotion.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>

#undef signals
#include <gio/gio.h>

namespace tilvane {
namespace {

bool schemaInstalled()
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source != nullptr ? g_settings_schema_source_lookup(source, "org.gnome.desktop.interface", TRUE) : nullptr;
    if (schema != nullptr) g_settings_schema_unref(schema);
    return schema != nullptr;
}

// The desktop's setting, kept in memory for this test program so that the user's own is never touched.
TEST(DesktopReduceMotion, FollowsTheDesktopsAnimationSwitchLive)
{
    qputenv("GSETTINGS_BACKEND", "memory");
    if (!schemaInstalled()) {
        DesktopReduceMotion setting;
        EXPECT_FALSE(setting.reduceMotion()) << "without the schema motion is never reduced";
        return;
    }
    GSettings* desktop = g_settings_new("org.gnome.desktop.interface");
    g_settings_set_boolean(desktop, "enable-animations", TRUE);

    DesktopReduceMotion setting;
    EXPECT_FALSE(setting.reduceMotion());
    QSignalSpy changed(&setting, &DesktopReduceMotion::changed);

    g_settings_set_boolean(desktop, "enable-animations", FALSE);
    ASSERT_TRUE(testing::waitUntil([&] { return changed.count() == 1; }, std::chrono::seconds(5)));
    EXPECT_TRUE(changed.at(0).at(0).toBool());
    EXPECT_TRUE(setting.reduceMotion());

    g_settings_set_boolean(desktop, "enable-animations", TRUE);
    ASSERT_TRUE(testing::waitUntil([&] { return changed.count() == 2; }, std::chrono::seconds(5)));
    EXPECT_FALSE(setting.reduceMotion());
    g_object_unref(desktop);
}

}  // namespace
}  // namespace tilvane
