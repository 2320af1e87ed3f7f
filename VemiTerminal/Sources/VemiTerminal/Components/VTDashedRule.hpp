#pragma once

#include <QWidget>

// A vertical dashed line in the theme's `rule`: 1 pt wide, 3 on / 3 off from the top, as tall as it is laid out.
class VTDashedRule : public QWidget {
    Q_OBJECT
public:
    explicit VTDashedRule(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {1, 0}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};
