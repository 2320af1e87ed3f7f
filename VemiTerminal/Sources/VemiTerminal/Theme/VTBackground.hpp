#pragma once

#include <QObject>

class QWidget;

// Paints a kit background behind a widget's own drawing and its children, like a background modifier.
class VTBackground : public QObject {
public:
    enum class Kind { page, section, dotted };

    VTBackground(QWidget* widget, Kind kind);

    Kind kind() const { return kind_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* widget_;
    Kind kind_;
};

// `bgPage` behind the widget.
VTBackground* vtPage(QWidget* widget);
// `bgSection` behind the widget; with `dotted`, the dot grid of pitch 8.
VTBackground* vtSection(QWidget* widget, bool dotted);
