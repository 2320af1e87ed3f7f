#include "Tilvane/Views/DitherPanel.hpp"

#include "Tilvane/Views/InspectorLayout.hpp"
#include "Tilvane/Views/PixelControls.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tilvane {
namespace {

struct DitherChoice {
    DitherMode mode;
    const char* label;
    const char* help;
};

constexpr std::array<DitherChoice, 3> ditherChoices{{
    {DitherMode::none, "Nenhum", "Sem dithering: mantém o resultado anterior"},
    {DitherMode::bayer4x4, "Bayer", "Padrão ordenado Bayer 4×4"},
    {DitherMode::floydSteinberg, "Floyd", "Difusão de erro Floyd–Steinberg"},
}};

}  // namespace

DitherPanel::DitherPanel(QWidget* parent) : VisualPanel(QStringLiteral("Dither"), false, parent)
{
    auto* column = addContentColumn(*this, 8);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    for (std::size_t index = 0; index < ditherChoices.size(); ++index) {
        const auto& choice = ditherChoices[index];
        const auto label = QString::fromUtf8(choice.label);
        auto* button = new PixelChoiceButton(label);
        button->setObjectName(QStringLiteral("ditherChoice.") + QString::fromLatin1(rawValue(choice.mode).data()));
        button->setAccessibleName(QStringLiteral("Dithering: ") + label);
        button->setToolTip(QString::fromUtf8(choice.help));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(button, &QAbstractButton::clicked, this,
                [this, mode = choice.mode] { edit([mode](VisualSettings& visual) { visual.dither = mode; }); });
        row->addWidget(button, 1);
        choices_[index] = button;
    }
    column->addLayout(row);
    caption_ = new PixelCaption(QString());
    caption_->setObjectName(QStringLiteral("ditherCaption"));
    column->addWidget(caption_);
}

void DitherPanel::refresh()
{
    for (std::size_t index = 0; index < ditherChoices.size(); ++index) {
        choices_[index]->setSelected(visual().dither == ditherChoices[index].mode);
    }
    caption_->setText(visual().paletteID == ImagePalette::original().id
                          ? QStringLiteral("Cores Originais Não Usa Dither")
                          : QStringLiteral("Nenhum Mantém O Resultado Atual"));
}

}  // namespace tilvane
