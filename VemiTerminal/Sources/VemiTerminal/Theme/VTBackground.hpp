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
// How a section's ground is drawn, named at the call site: `vtSection(widget, {.dotted = true})`.
struct VTSectionOptions {
    bool dotted = false;  // the dot grid of pitch 8 over `bgSection`
};

// `bgSection` behind the widget.
VTBackground* vtSection(QWidget* widget, VTSectionOptions options = {});
