#pragma once

#include <QWidget>

class QHBoxLayout;
class VTDashedRule;

// A caption over a wrapping paragraph, padded 16 left and right, with a dashed rule down its leading edge.
class VTFeature : public QWidget {
    Q_OBJECT
public:
    VTFeature(const QString& label, const QString& text, QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    VTDashedRule* rule_;
};

// A top-aligned row of features, 24 apart, sharing the width.
class VTFeatureRow : public QWidget {
    Q_OBJECT
public:
    explicit VTFeatureRow(QWidget* parent = nullptr);

    void addFeature(VTFeature* feature);

private:
    QHBoxLayout* layout_;
};
