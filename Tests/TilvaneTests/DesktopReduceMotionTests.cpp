#include "PreviewTestSupport.hpp"

#include "Tilvane/Services/DesktopReduceMotion.hpp"

#include <gtest/gtest.h>

#include <QSignalSpy>

#undef signals
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

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

// The desktop's setting in a store of the test's own, kept in memory, so that the user's is never touched.
TEST(DesktopReduceMotion, FollowsTheDesktopsAnimationSwitchLive)
{
    GSettingsBackend* memory = g_memory_settings_backend_new();
    if (!schemaInstalled()) {
        DesktopReduceMotion setting(nullptr, memory);
        EXPECT_FALSE(setting.reduceMotion()) << "without the schema motion is never reduced";
        g_object_unref(memory);
        return;
    }
    GSettings* desktop = g_settings_new_with_backend("org.gnome.desktop.interface", memory);
    g_settings_set_boolean(desktop, "enable-animations", TRUE);

    DesktopReduceMotion setting(nullptr, memory);
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
    g_object_unref(memory);
}

}  // namespace
}  // namespace tilvane
