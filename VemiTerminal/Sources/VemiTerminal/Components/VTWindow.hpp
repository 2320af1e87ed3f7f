#pragma once

#include "VemiTerminal/Components/VTAccessibleText.hpp"
#include "VemiTerminal/Components/VTOverflowLayer.hpp"

#include <QColor>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <optional>

class QVBoxLayout;

// How a window's bar and body are coloured, named at the call site: `VTWindow(title, control, {.active = true})`.
// `vemiBody` wins over `active`.
struct VTWindowOptions {
    bool active = false;    // the bar in `barBgActive` / `barFgActive`
    bool vemiBody = false;  // the pink body with ink text and an ink bar with pink text, whatever the theme
};

// The kit's framed panel: a title bar (title, optional control glyph at its right end) above the content,
// a 1-pt outline inside the panel and a hard shadow 4 pt right and down that takes no layout space.
// `vemiBody` paints the body pink with ink text and an ink bar with pink text, whatever the theme.
class VTWindow : public QWidget, public VTOverflowing, public VTAccessibleText {
    Q_OBJECT
public:
    VTWindow(const QString& title, const std::optional<QString>& control = std::nullopt, VTWindowOptions options = {},
             QWidget* parent = nullptr);
    ~VTWindow() override;

    // Puts `content` at the top of the content area (padding 12), across its whole width when the content can
    // grow, else at the left; the window takes ownership. The content inherits the window's `pixelMD` face and
    // the content colour (its text roles), as every widget inside it does unless it sets its own.
    void setContent(QWidget* content);

    bool isActive() const { return active_; }
    void setActive(bool active);

    // The body's ground: pink on the pink body, else the theme's `bgWindow`.
    QColor bodyBackground() const;
    QColor barBackground() const;
    QColor barForeground() const;
    // The colour of texts in the content: ink on the pink body, else the theme's `fg`.
    QColor contentForeground() const;
    // The bar's height at the current width: one line, or more while a long control text wraps.
    int titleBarHeight() const;

    void paintWithOverflow(QPainter& painter) override;

    // Read by screen readers as a group named by its title.
    QString accessibleText() const override { return title_; }
    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where the bar's texts go at one width: the title cut to one line, the control wrapped to the room left.
    struct Bar {
        QString title;
        QStringList controlLines;
        qreal controlWidth = 0;
        qreal titleTop = 0;
        qreal controlTop = 0;
        int height = 0;
    };
    Bar layOutBar(qreal width) const;
    void placeContent();
    // Sets the content's ink, for the current theme, in the window's own palette.
    void followTheme();

    QString title_;
    std::optional<QString> control_;
    bool active_;
    bool vemiBody_;
    QVBoxLayout* contentLayout_;
    QPointer<VTOverflowLayer> shadow_;
};
