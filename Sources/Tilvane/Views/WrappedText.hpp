#pragma once

#include "VemiTerminal/Components/VTAccessibleText.hpp"
#include "VemiTerminal/Theme/VTTheme.hpp"
#include "VemiTerminal/Tokens/VTTextStyle.hpp"

#include <QWidget>

namespace tilvane {

// Text in one of the kit's styles that wraps at word boundaries within the width it is given, coloured with a
// theme role read on every paint; assistive technology reads it as one static text.
class WrappedText : public QWidget, public VTAccessibleText {
    Q_OBJECT
public:
    using Role = QColor VTTheme::*;

    WrappedText(const QString& text, VTTextStyle style, Role role, QWidget* parent = nullptr);

    QString text() const { return text_; }
    // `spoken`, when not empty, is what assistive technology reads instead of the text drawn (a name drawn elided is
    // read whole).
    void setText(const QString& text, const QString& spoken = {});
    QString accessibleText() const override { return spoken_.isEmpty() ? text_ : spoken_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QString spoken_;
    VTTextStyle style_;
    Role role_;
};

}  // namespace tilvane
