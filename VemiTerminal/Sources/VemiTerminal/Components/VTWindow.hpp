#pragma once

#include "VemiTerminal/Components/VTOverflowLayer.hpp"

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <optional>

class QVBoxLayout;

// The kit's framed panel: a title bar (title, optional control glyph at its right end) above the content,
// a 1-pt outline inside the panel and a hard shadow 4 pt right and down that takes no layout space.
// `vemiBody` paints the body pink with ink text and an ink bar with pink text, whatever the theme.
class VTWindow : public QWidget, public VTOverflowing {
    Q_OBJECT
public:
    VTWindow(const QString& title, const std::optional<QString>& control = std::nullopt, bool active = false,
             bool vemiBody = false, QWidget* parent = nullptr);
    ~VTWindow() override;

    // Puts `content` at the top of the content area (padding 12), across its whole width when the content can
    // grow, else at the left; the window takes ownership.
    void setContent(QWidget* content);

    bool isActive() const { return active_; }
    void setActive(bool active);
    bool hasVemiBody() const { return vemiBody_; }

    QColor barBackground() const;
    QColor barForeground() const;
    // The colour of texts in the content: ink on the pink body, else the theme's `fg`.
    QColor contentForeground() const;
    int titleBarHeight() const;

    void paintWithOverflow(QPainter& painter) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    std::optional<QString> control_;
    bool active_;
    bool vemiBody_;
    QVBoxLayout* contentLayout_;
    QPointer<VTOverflowLayer> shadow_;
};
