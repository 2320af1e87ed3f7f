#include "VemiTerminal/Theme/VTBackground.hpp"

#include "VemiTerminal/Components/VTDotGrid.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace {
constexpr qreal dottedPitch = 8;
}

VTBackground::VTBackground(QWidget* widget, Kind kind) : QObject(widget), widget_(widget), kind_(kind)
{
    widget->installEventFilter(this);
    widget->update();
}

bool VTBackground::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget_ && event->type() == QEvent::Paint) {
        QPainter painter(widget_);
        const VTTheme& theme = vtTheme(widget_);
        switch (kind_) {
        case Kind::page:
            painter.fillRect(widget_->rect(), theme.bgPage);
            break;
        case Kind::section:
            painter.fillRect(widget_->rect(), theme.bgSection);
            break;
        case Kind::dotted:
            VTDotGrid::paint(painter, widget_->rect(), theme, dottedPitch);
            break;
        }
    }
    return false;
}

VTBackground* vtPage(QWidget* widget)
{
    return new VTBackground(widget, VTBackground::Kind::page);
}

VTBackground* vtSection(QWidget* widget, VTSectionOptions options)
{
    return new VTBackground(widget, options.dotted ? VTBackground::Kind::dotted : VTBackground::Kind::section);
}
