#pragma once

#include "VemiTerminal/Components/VTButton.hpp"

namespace tilvane {

// A compact icon button in the kit's pixel style: the named icon of the application's pixel set, 16 × 22 inside
// the button's padding; the title is only its tooltip and accessible name, never drawn.
class PresetActionButton : public VTButton {
    Q_OBJECT
public:
    PresetActionButton(const QString& title, const QString& symbol, QWidget* parent = nullptr);

    QString symbol() const { return symbol_; }

    QSize sizeHint() const override;
    void paintWithOverflow(QPainter& painter) override;

private:
    QString symbol_;
};

}  // namespace tilvane
