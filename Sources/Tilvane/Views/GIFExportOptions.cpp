#include "Tilvane/Views/GIFExportOptions.hpp"

#include "Tilvane/Views/PixelControls.hpp"
#include "TilvaneCore/GIFExporter.hpp"
#include "VemiTerminal/Components/VTText.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QBoxLayout>
#include <QFileDialog>
#include <QGridLayout>

#include <algorithm>

namespace tilvane {

namespace {

template <std::size_t count>
QHBoxLayout* choiceRow(const std::array<int, count>& values, const char* format, const char* namePrefix,
                       std::array<PixelChoiceButton*, count>& buttons, QWidget* parent,
                       const std::function<void(int)>& pick)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    for (std::size_t index = 0; index < count; ++index) {
        const int value = values[index];
        auto* button = new PixelChoiceButton(QString::asprintf(format, static_cast<long long>(value)), nullptr, parent);
        button->setObjectName(QString::fromLatin1(namePrefix) + QString::number(value));
        QObject::connect(button, &QAbstractButton::clicked, parent, [pick, value] { pick(value); });
        buttons[index] = button;
        row->addWidget(button);
    }
    row->addStretch(1);
    return row;
}

}  // namespace

QString gifOutputSizeText(int sourceWidth, int sourceHeight, int maxDimension)
{
    const GIFDimensions size = GIFExporter::dimensions(sourceWidth, sourceHeight, maxDimension);
    return QString::asprintf("%lld × %lld px", static_cast<long long>(size.width), static_cast<long long>(size.height));
}

GIFExportOptions::GIFExportOptions(int sourceWidth, int sourceHeight, bool animated, QWidget* parent)
    : QWidget(parent), sourceWidth_(sourceWidth), sourceHeight_(sourceHeight)
{
    setObjectName(QStringLiteral("gifExportOptions"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(12);
    column->addWidget(new PixelCaption(QStringLiteral("Tamanho"), this));
    column->addLayout(choiceRow(sizes, "%lld px", "gifSize", sizeButtons_, this, [this](int size) {
        edit({size, choice_.duration});
    }));
    outputSize_ = new VTText(QString(), VTTextStyle::pixelSM, nullptr, this);
    outputSize_->setObjectName(QStringLiteral("gifOutputSize"));
    column->addWidget(outputSize_);
    column->addWidget(new PixelCaption(QStringLiteral("Duração"), this));
    column->addLayout(choiceRow(durations, "%lld s", "gifDuration", durationButtons_, this, [this](int seconds) {
        edit({choice_.maxDimension, seconds});
    }));
    auto* motion = new PixelCaption(
        animated ? QStringLiteral("10 Quadros/s · Repetição Contínua") : QStringLiteral("Sem Movimento · Quadro Único"),
        this);
    motion->setObjectName(QStringLiteral("gifMotionCaption"));
    column->addWidget(motion);
    column->addStretch(1);
    refresh();
}

void GIFExportOptions::setChoice(GIFExportChoice choice)
{
    choice_ = choice;
    refresh();
}

void GIFExportOptions::edit(GIFExportChoice choice)
{
    choice_ = choice;
    refresh();
    emit choiceEdited(choice);
}

void GIFExportOptions::refresh()
{
    for (std::size_t index = 0; index < sizes.size(); ++index) {
        sizeButtons_[index]->setSelected(sizes[index] == choice_.maxDimension);
    }
    for (std::size_t index = 0; index < durations.size(); ++index) {
        durationButtons_[index]->setSelected(durations[index] == choice_.duration);
    }
    outputSize_->setText(gifOutputSizeText(sourceWidth_, sourceHeight_, choice_.maxDimension));
}

GIFExportOptions* addGIFExportOptions(QFileDialog* dialog, int sourceWidth, int sourceHeight, bool animated,
                                      GIFExportChoice choice, VTAppearance appearance)
{
    auto* options = new GIFExportOptions(sourceWidth, sourceHeight, animated, dialog);
    options->setChoice(choice);
    options->setFixedSize(380, 240);
    options->setAutoFillBackground(true);
    vemiTerminal(options, appearance);
    // The options add to the dialog's height rather than take it from the file list.
    const QSize withoutOptions = dialog->size();
    int spacing = 0;
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
        grid->addWidget(options, grid->rowCount(), 0, 1, grid->columnCount());
        spacing = grid->verticalSpacing();
    } else if (dialog->layout() != nullptr) {
        dialog->layout()->addWidget(options);
        spacing = dialog->layout()->spacing();
    }
    const QSize withOptions(withoutOptions.width(), withoutOptions.height() + options->height() + std::max(spacing, 0));
    dialog->resize(withOptions.expandedTo(dialog->minimumSizeHint()));
    return options;
}

}  // namespace tilvane
