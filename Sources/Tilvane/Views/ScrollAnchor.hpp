#pragma once

#include <QObject>
#include <QPointer>

class QScrollArea;
class QWidget;

namespace tilvane {

// Brings one block of a scroll area's content to the top of the viewport, without animation, and keeps it there
// while the content settles. A layout settles over several turns of the event loop (a panel is built and shown
// later, a block above the target grows or shrinks, the scroll range follows): the anchor scrolls again whenever
// the target moves or the scroll range changes. It lets go at the user's next press of a key or a mouse button,
// turn of the wheel or touch, so that from then on only the user moves the content. Where the content ends too
// soon for the target to reach the top, the content is scrolled to its end.
// It can also keep one control in view over the same time, the one the keyboard's focus went to: the target then
// goes as near the top as that control's staying in view allows.
class ScrollAnchor : public QObject {
    Q_OBJECT

public:
    explicit ScrollAnchor(QScrollArea& area);

    // `target` is a direct child of the area's content widget.
    void hold(QWidget* target);
    // `control` lies anywhere in the area's content.
    void keepInView(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scroll();
    void release();

    QScrollArea& area_;
    void start();
    bool movesKeptControl(QObject* watched) const;

    QPointer<QWidget> target_;
    QPointer<QWidget> kept_;
};

}  // namespace tilvane
