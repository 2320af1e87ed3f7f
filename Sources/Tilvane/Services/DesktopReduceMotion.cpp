#include "Tilvane/Services/DesktopReduceMotion.hpp"

// GLib names struct members "signals", which Qt defines as a keyword macro.
#undef signals
#include <gio/gio.h>

namespace tilvane {

namespace {

constexpr const char* schemaID = "org.gnome.desktop.interface";
constexpr const char* animationsKey = "enable-animations";

// The settings object when the schema exists and holds the key; null otherwise (GSettings aborts the
// process when asked for a schema or key that is not installed, so both are looked up first).
GSettings* interfaceSettings(GSettingsBackend* backend)
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr) return nullptr;
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaID, TRUE);
    if (schema == nullptr) return nullptr;
    const bool hasKey = g_settings_schema_has_key(schema, animationsKey);
    g_settings_schema_unref(schema);
    if (!hasKey) return nullptr;
    return backend != nullptr ? g_settings_new_with_backend(schemaID, backend) : g_settings_new(schemaID);
}

}  // namespace

struct DesktopReduceMotion::GSettingsLink {
    GSettings* settings = nullptr;
    gulong handler = 0;

    ~GSettingsLink()
    {
        if (settings == nullptr) return;
        if (handler != 0) g_signal_handler_disconnect(settings, handler);
        g_object_unref(settings);
    }
};

DesktopReduceMotion::DesktopReduceMotion(QObject* parent, GSettingsBackend* backend)
    : QObject(parent), link_(std::make_unique<GSettingsLink>())
{
    link_->settings = interfaceSettings(backend);
    if (link_->settings == nullptr) return;
    const auto onChanged =
        +[](GSettings*, gchar*, gpointer self) { static_cast<DesktopReduceMotion*>(self)->refresh(); };
    link_->handler = g_signal_connect(link_->settings, "changed::enable-animations", G_CALLBACK(onChanged), this);
    reduceMotion_ = !g_settings_get_boolean(link_->settings, animationsKey);
}

DesktopReduceMotion::~DesktopReduceMotion() = default;

void DesktopReduceMotion::refresh()
{
    const bool reduce = !g_settings_get_boolean(link_->settings, animationsKey);
    if (reduce == reduceMotion_) return;
    reduceMotion_ = reduce;
    emit changed(reduce);
}

}  // namespace tilvane
