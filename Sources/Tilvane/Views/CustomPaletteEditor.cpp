#include "Tilvane/Views/CustomPaletteEditor.hpp"

#include "Tilvane/Views/ColorWell.hpp"
#include "Tilvane/Views/FocusHandover.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/WrappedText.hpp"

#include "TilvaneCore/ImagePalette.hpp"
#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTText.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

namespace tilvane {

namespace {

constexpr int spacing = 8;
const QString hint = QStringLiteral("2 A 16 Cores • Mudanças Imediatas");
const QString duplicateWarning = QStringLiteral("Esta cor já está na paleta. Escolha outra.");

std::uint8_t channel(double component)
{
    return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::round(component * 255)), 0, 255));
}

QString code(const RGBColor& color)
{
    return QString::fromStdString(ImagePalette::customColorsText(std::vector<RGBColor>{color}));
}

}  // namespace

// One colour of the palette: its well, its code and its remove button, numbered from 1.
class CustomPaletteRow : public QWidget {
public:
    CustomPaletteRow(Uuid id, const ColorPicker& picker) : id_(id)
    {
        setObjectName(QStringLiteral("paletteRow"));
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(spacing);
        well_ = new ColorWell(QString(), picker);
        well_->setObjectName(QStringLiteral("colorWell"));
        code_ = new VTText(QString(), VTTextStyle::pixelSM);
        code_->setObjectName(QStringLiteral("colorCode"));
        remove_ = new VTButton(QStringLiteral("−"), vtPixel);
        remove_->setObjectName(QStringLiteral("removeButton"));
        layout->addWidget(well_);
        layout->addWidget(code_);
        layout->addStretch(1);
        layout->addWidget(remove_);
    }

    const Uuid& id() const { return id_; }
    ColorWell* well() const { return well_; }
    VTButton* removeButton() const { return remove_; }

    void display(int number, const RGBColor& color, bool removable)
    {
        const QString n = QString::number(number);
        const QString text = code(color);
        well_->setColor(QColor(color.red, color.green, color.blue));
        well_->setAccessibleName(QStringLiteral("Escolher cor ") + n + QStringLiteral(" da paleta"));
        code_->setText(text);
        code_->setAccessibleName(QStringLiteral("Cor ") + n + QStringLiteral(": ") + text);
        remove_->setAccessibleName(QStringLiteral("Remover cor ") + n);
        remove_->setToolTip(QStringLiteral("Remover cor ") + n);
        remove_->setEnabled(removable);
        well_->setPickerTitle(QStringLiteral("Cor ") + n);
    }

private:
    Uuid id_;
    ColorWell* well_;
    VTText* code_;
    VTButton* remove_;
};

CustomPaletteEditor::CustomPaletteEditor(std::vector<RGBColor> colors, ColorPicker picker, QWidget* parent)
    : QWidget(parent), picker_(std::move(picker)), colors_(std::move(colors))
{
    rowIDs_.resize(colors_.size());
    std::generate(rowIDs_.begin(), rowIDs_.end(), Uuid::random);

    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(spacing);
    layout_->addWidget(new PixelCaption(QStringLiteral("Cores Da Paleta")));
    addButton_ = new VTButton(QStringLiteral("+ Adicionar Cor"), vtPixel);
    addButton_->setObjectName(QStringLiteral("addColorButton"));
    addButton_->setAccessibleName(QStringLiteral("Adicionar cor à paleta"));
    connect(addButton_, &QAbstractButton::clicked, this, &CustomPaletteEditor::addColor);
    layout_->addWidget(addButton_);
    footer_ = new WrappedText(hint, VTTextStyle::pixelSM, &VTTheme::fgMuted);
    footer_->setObjectName(QStringLiteral("paletteFooter"));
    layout_->addWidget(footer_);
    syncRows();
}

QList<QWidget*> CustomPaletteEditor::rows() const
{
    QList<QWidget*> result;
    for (const auto& row : rows_) {
        if (row) result.append(row);
    }
    return result;
}

void CustomPaletteEditor::setColors(const std::vector<RGBColor>& colors)
{
    if (colors == colors_) return;
    if (colors.size() != rowIDs_.size()) {
        rowIDs_.resize(colors.size());
        std::generate(rowIDs_.begin(), rowIDs_.end(), Uuid::random);
    }
    colors_ = colors;
    setWarning(std::nullopt);
    syncRows();
}

void CustomPaletteEditor::addColor()
{
    if (colors_.size() >= maximumColors) return;
    std::vector<RGBColor> candidates = ImagePalette::pico8().colors;
    candidates.insert(candidates.end(), ImagePalette::nes().colors.begin(), ImagePalette::nes().colors.end());
    const auto unused = std::find_if(candidates.begin(), candidates.end(), [this](const RGBColor& candidate) {
        return std::find(colors_.begin(), colors_.end(), candidate) == colors_.end();
    });
    if (unused == candidates.end()) return;
    // The last colour the palette can hold turns "+ Adicionar Cor" off: the focus then goes to the new row.
    FocusHandover handover(this);
    rowIDs_.push_back(Uuid::random());
    colors_.push_back(*unused);
    setWarning(std::nullopt);
    publish();
    if (!addButton_->isEnabled()) handover.moveTo(this);
}

void CustomPaletteEditor::removeColor(const Uuid& row)
{
    const auto found = std::find(rowIDs_.begin(), rowIDs_.end(), row);
    const auto index = static_cast<std::size_t>(found - rowIDs_.begin());
    if (colors_.size() <= minimumColors || index >= colors_.size()) return;
    // The pressed "−" leaves with its row: the focus goes to the one that takes its place.
    FocusHandover handover(this);
    rowIDs_.erase(found);
    colors_.erase(colors_.begin() + static_cast<std::ptrdiff_t>(index));
    setWarning(std::nullopt);
    publish();
    handover.moveTo(this);
}

void CustomPaletteEditor::pick(const Uuid& row, const QColor& picked)
{
    const auto index = static_cast<std::size_t>(std::find(rowIDs_.begin(), rowIDs_.end(), row) - rowIDs_.begin());
    if (index >= colors_.size()) return;
    const auto components = srgbComponents(picked);
    if (!components) return;
    const RGBColor color{channel(components->red), channel(components->green), channel(components->blue)};
    for (std::size_t other = 0; other < colors_.size(); ++other) {
        if (other != index && colors_[other] == color) {
            setWarning(duplicateWarning);
            return;
        }
    }
    colors_[index] = color;
    setWarning(std::nullopt);
    publish();
}

void CustomPaletteEditor::publish()
{
    syncRows();
    emit colorsEdited(colors_);
}

void CustomPaletteEditor::setWarning(std::optional<QString> warning)
{
    warning_ = std::move(warning);
    footer_->setText(warning_.value_or(hint));
}

void CustomPaletteEditor::syncRows()
{
    // Rows whose identity is gone leave later: one of them may be delivering the click that removed it.
    const std::size_t shown = std::min(rowIDs_.size(), colors_.size());
    std::vector<QPointer<CustomPaletteRow>> kept;
    for (auto& row : rows_) {
        if (!row) continue;
        const auto end = rowIDs_.begin() + static_cast<std::ptrdiff_t>(shown);
        if (std::find(rowIDs_.begin(), end, row->id()) != end) {
            layout_->removeWidget(row);
            kept.push_back(row);
        } else {
            layout_->removeWidget(row);
            row->hide();
            row->deleteLater();
        }
    }
    rows_.clear();
    for (std::size_t i = 0; i < shown; ++i) {
        const Uuid id = rowIDs_[i];
        auto existing = std::find_if(kept.begin(), kept.end(), [&](const auto& row) { return row->id() == id; });
        CustomPaletteRow* row = existing != kept.end() ? existing->data() : nullptr;
        if (row == nullptr) {
            row = new CustomPaletteRow(id, picker_);
            connect(row->well(), &ColorWell::picked, this, [this, id](const QColor& picked) { pick(id, picked); });
            connect(row->removeButton(), &QAbstractButton::clicked, this, [this, id] { removeColor(id); });
        }
        layout_->insertWidget(static_cast<int>(i) + 1, row);
        // Shown at once rather than by the layout's queued call, so that the focus can go to a new row now.
        row->show();
        row->display(static_cast<int>(i) + 1, colors_[i], colors_.size() > minimumColors);
        rows_.push_back(row);
    }
    addButton_->setEnabled(colors_.size() < maximumColors);
}

}  // namespace tilvane
