#include "Tilvane/Views/WorkingSizePanel.hpp"

#include "Tilvane/Views/InspectorLayout.hpp"
#include "Tilvane/Views/PixelControls.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tilvane {

WorkingSizePanel::WorkingSizePanel(QWidget* parent)
    : VTWindow(QStringLiteral("Trabalho"), QStringLiteral("▢"), {}, parent)
{
    auto* column = addContentColumn(*this, 12);
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    for (std::size_t index = 0; index < sizes.size(); ++index) {
        const int size = sizes[index];
        auto* button = new PixelChoiceButton(QString::number(size));
        button->setObjectName(QStringLiteral("maxDimension.%1").arg(size));
        button->setAccessibleName(QStringLiteral("%1 pixels").arg(size));
        connect(button, &QAbstractButton::clicked, this, [this, size] {
            setMaxDimension(size);
            emit maxDimensionEdited(size);
        });
        row->addWidget(button);
        choices_[index] = button;
    }
    row->addStretch(1);
    column->addLayout(row);
    column->addWidget(new PixelCaption(QStringLiteral("Lado Máximo Da Imagem E Do PNG")));
}

void WorkingSizePanel::setMaxDimension(int maxDimension)
{
    for (std::size_t index = 0; index < sizes.size(); ++index)
        choices_[index]->setSelected(sizes[index] == maxDimension);
}

}  // namespace tilvane
