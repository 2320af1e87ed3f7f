#pragma once

#include "VemiTerminal/Components/VTAccessibleText.hpp"
#include "VemiTerminal/Tokens/VTTextStyle.hpp"

#include <QStringList>
#include <QWidget>

// Large text set line by line (one per line feed, empty lines kept) in a style, in the theme's `fgMuted`.
// Baselines lie one line height apart; a line too wide for the widget shrinks down to half its size, then is cut.
class VTDisplayText : public QWidget, public VTAccessibleText {
    Q_OBJECT
public:
    VTDisplayText(const QString& text, VTTextStyle style, QWidget* parent = nullptr);

    const QStringList& lines() const { return lines_; }
    // The top of line `index` in the widget.
    qreal lineTop(int index) const;
    QString accessibleText() const override { return lines_.join(u'\n'); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList lines_;
    VTTextStyle style_;
};
