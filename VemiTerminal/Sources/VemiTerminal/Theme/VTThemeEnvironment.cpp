#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include "VemiTerminal/Theme/VTFonts.hpp"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

QPalette platformPalette(const VTTheme& theme, VTAppearance appearance) {
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
    }
    palette.setColor(QPalette::Highlight, theme.btnBg);
    palette.setColor(QPalette::HighlightedText, theme.btnFg);
    return palette;
}

}  // namespace

VTThemeHost::VTThemeHost(QWidget* root) : QObject(root), root_(root), theme_(&VTTheme::vemi()) {
    qApp->installEventFilter(this);
}

VTThemeHost* VTThemeHost::of(const QWidget* root) {
    return root->findChild<VTThemeHost*>(QString(), Qt::FindDirectChildrenOnly);
}

void VTThemeHost::setAppearance(VTAppearance appearance) {
    appearance_ = appearance;
    resolve();
}

bool VTThemeHost::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange &&
        appearance_ == VTAppearance::system) {
        resolve();
    }
    return false;
}

void VTThemeHost::resolve() {
    const VTTheme& resolved = vtResolveTheme(appearance_, vtIsDarkPalette(QGuiApplication::palette()));
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

const VTTheme& vtTheme(const QWidget* widget) {
    for (const QWidget* current = widget; current != nullptr; current = current->parentWidget()) {
        if (const VTThemeHost* host = VTThemeHost::of(current)) {
            return host->theme();
        }
    }
    return VTTheme::vemi();
}

VTThemeHost* vemiTerminal(QWidget* root, VTAppearance appearance) {
    VTFonts::registerIfNeeded();
    VTThemeHost* host = VTThemeHost::of(root);
    if (host == nullptr) {
        host = new VTThemeHost(root);
    }
    host->setAppearance(appearance);
    return host;
}
