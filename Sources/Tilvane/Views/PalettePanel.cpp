#include "Tilvane/Views/PalettePanel.hpp"

#include "Tilvane/Views/CustomPaletteEditor.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "VemiTerminal/Components/VTDrawing.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tilvane {
namespace {

constexpr int swatchLimit = 8;

// A palette's name inside its choice row, in the row's text colour for its selection state.
class ChoiceRowName : public QWidget {
public:
    ChoiceRowName(const QString& text, const PixelChoiceButton* row) : text_(text), row_(row)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override { return vtCeil(vtTextLineSize(VTTextStyle::pixelMD, text_)); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const VTTheme& theme = vtTheme(this);
        QPainter painter(this);
        painter.setRenderHint(QPainter::TextAntialiasing);
        vtDrawTextLine(painter, QPointF(0, 0), VTTextStyle::pixelMD, text_,
                       row_->isSelected() ? theme.barFgActive : theme.fg);
    }

private:
    QString text_;
    const PixelChoiceButton* row_;
};

}  // namespace

std::vector<RGBColor> PalettePanel::shownCustomColors(const VisualSettings& visual)
{
    return visual.customColors.value_or(ImagePalette::defaultCustomColors());
}

PalettePanel::PalettePanel(ColorPicker picker, QWidget* parent)
    : VisualPanel(QStringLiteral("Visual"), true, parent), picker_(std::move(picker))
{
    auto* content = new QWidget;
    column_ = new QVBoxLayout(content);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(4);
    for (const auto& palette : ImagePalette::all()) {
        auto* row = addRow(QString::fromStdString(palette.name), palette.id, palette);
        connect(row, &QAbstractButton::clicked, this,
                [this, id = palette.id] { edit([&](VisualSettings& visual) { visual.paletteID = id; }); });
    }
    const std::string customID(ImagePalette::customID);
    auto* custom =
        addRow(QStringLiteral("Personalizada"), customID, ImagePalette::custom(ImagePalette::defaultCustomColors()));
    customSwatch_ = custom->findChild<PaletteSwatch*>();
    connect(custom, &QAbstractButton::clicked, this, [this, customID] {
        edit([&](VisualSettings& visual) {
            if (!visual.customColors) visual.customColors = ImagePalette::defaultCustomColors();
            visual.paletteID = customID;
        });
    });
    setContent(content);
}

PixelChoiceButton* PalettePanel::addRow(const QString& name, const std::string& id, const ImagePalette& palette)
{
    auto* row = new PixelChoiceButton(QString());
    row->setObjectName(QStringLiteral("paletteChoice.") + QString::fromStdString(id));
    row->setAccessibleName(name);
    row->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* label = new QHBoxLayout(row);
    label->setContentsMargins(8, 4, 8, 4);
    label->setSpacing(8);
    auto* title = new ChoiceRowName(name, row);
    auto* swatch = new PaletteSwatch(palette, swatchLimit);
    swatch->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->addWidget(title);
    label->addStretch(1);
    label->addSpacing(8);
    label->addWidget(swatch);
    row->setFixedHeight(std::max(title->sizeHint().height(), swatch->sizeHint().height()) + 8);
    column_->addWidget(row);
    rows_.emplace_back(id, row);
    return row;
}

void PalettePanel::refresh()
{
    for (const auto& [id, row] : rows_) row->setSelected(visual().paletteID == id);
    customSwatch_->setPalette(ImagePalette::custom(shownCustomColors(visual())));
    showEditor(visual().paletteID == ImagePalette::customID);
    if (editor_) editor_->setColors(shownCustomColors(visual()));
}

void PalettePanel::showEditor(bool shown)
{
    if (shown == !editor_.isNull()) return;
    if (!shown) {
        delete editor_.data();
        return;
    }
    // A new editor each time the custom palette is chosen, so that its own row state starts afresh.
    editor_ = new CustomPaletteEditor(shownCustomColors(visual()), picker_);
    editor_->setObjectName(QStringLiteral("customPaletteEditor"));
    connect(editor_, &CustomPaletteEditor::colorsEdited, this, [this](const std::vector<RGBColor>& colors) {
        edit([&](VisualSettings& visual) { visual.customColors = colors; });
    });
    column_->addWidget(editor_);
}

}  // namespace tilvane
