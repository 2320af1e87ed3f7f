#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include "VemiTerminal/Theme/VTFonts.hpp"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

QPalette platformPalette(const VTTheme& theme, VTAppearance appearance)
{
    QPalette palette = QGuiApplication::palette();
    // The ground under the page: the translucent light page lies over the window colour, whatever the appearance,
    // so that "Sistema" on a light desktop looks exactly like "Vemi".
    palette.setColor(QPalette::Window, theme.bgPage.alpha() == 255 ? theme.bgPage : theme.bgWindow);
    if (appearance != VTAppearance::system) {
        palette.setColor(QPalette::WindowText, theme.fg);
        palette.setColor(QPalette::Base, theme.bgWindow);
        palette.setColor(QPalette::AlternateBase, theme.bgWindow);
        palette.setColor(QPalette::Text, theme.fg);
        palette.setColor(QPalette::PlaceholderText, theme.fgMuted);
        palette.setColor(QPalette::Button, theme.bgWindow);
        palette.setColor(QPalette::ButtonText, theme.fg);
        palette.setColor(QPalette::Mid, theme.isDark ? theme.barBg : theme.chipBg);
        palette.setColor(QPalette::Dark, theme.border);
        // Disabled controls (a switch the build does not offer) say so in the theme's disabled ink.
        const QColor window = palette.color(QPalette::Window);
        palette.setColor(QPalette::Disabled, QPalette::WindowText, vtDisabledInk(theme, window));
        palette.setColor(QPalette::Disabled, QPalette::Text, vtDisabledInk(theme, theme.bgWindow));
        palette.setColor(QPalette::Disabled, QPalette::ButtonText, vtDisabledInk(theme, theme.bgWindow));
    }
    palette.setColor(QPalette::Highlight, theme.btnBg);
    palette.setColor(QPalette::HighlightedText, theme.btnFg);
    return palette;
}

}  // namespace

VTThemeHost::VTThemeHost(QWidget* root) : QObject(root), root_(root), theme_(&VTTheme::vemi())
{
    qApp->installEventFilter(this);
}

VTThemeHost* VTThemeHost::of(const QWidget* root)
{
    return root->findChild<VTThemeHost*>(QString(), Qt::FindDirectChildrenOnly);
}

void VTThemeHost::setAppearance(VTAppearance appearance)
{
    appearance_ = appearance;
    resolve();
}

bool VTThemeHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && appearance_ == VTAppearance::system) {
        resolve();
    }
    return false;
}

void VTThemeHost::resolve()
{
    const VTTheme& resolved = vtResolveTheme(appearance_, vtDesktopIsDark());
    root_->setPalette(platformPalette(resolved, appearance_));
    if (resolved == *theme_) {
        return;
    }
    theme_ = &resolved;
    root_->update();
    for (QWidget* child : root_->findChildren<QWidget*>()) {
        child->update();
    }
    emit themeChanged();
}

VTThemeHost* vtThemeHost(const QWidget* widget)
{
    for (const QWidget* current = widget; current != nullptr; current = current->parentWidget()) {
        if (VTThemeHost* host = VTThemeHost::of(current)) {
            return host;
        }
    }
    return nullptr;
}

const VTTheme& vtTheme(const QWidget* widget)
{
    const VTThemeHost* host = vtThemeHost(widget);
    return host != nullptr ? host->theme() : VTTheme::vemi();
}

namespace {

// Keeps one widget's `apply` connected to the theme changes of the host above it.
class ThemeFollower : public QObject {
public:
    ThemeFollower(QWidget* widget, std::function<void()> apply)
        : QObject(widget), widget_(widget), apply_(std::move(apply))
    {
        widget->installEventFilter(this);
        follow();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == widget_
            && (type == QEvent::Show || type == QEvent::ParentChange || type == QEvent::PaletteChange)) {
            follow();
        }
        return false;
    }

private:
    void follow()
    {
        VTThemeHost* host = vtThemeHost(widget_);
        if (host != host_) {
            disconnect(connection_);
            host_ = host;
            if (host != nullptr) {
                connection_ = connect(host, &VTThemeHost::themeChanged, this, [this] { apply_(); });
            }
        }
        apply_();
    }

    QWidget* widget_;
    std::function<void()> apply_;
    QPointer<VTThemeHost> host_;
    QMetaObject::Connection connection_;
};

}  // namespace

void vtFollowTheme(QWidget* widget, std::function<void()> apply)
{
    new ThemeFollower(widget, std::move(apply));
}

VTThemeHost* vemiTerminal(QWidget* root, VTAppearance appearance)
{
    VTFonts::registerIfNeeded();
    VTThemeHost* host = VTThemeHost::of(root);
    if (host == nullptr) {
        host = new VTThemeHost(root);
    }
    host->setAppearance(appearance);
    return host;
}
