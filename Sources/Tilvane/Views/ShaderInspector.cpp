#include "Tilvane/Views/ShaderInspector.hpp"

#include "Tilvane/Views/BezelControls.hpp"
#include "Tilvane/Views/FocusHandover.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/PresetActionButton.hpp"
#include "Tilvane/Views/ShaderParameterControls.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"
#include "Tilvane/Views/WrappedText.hpp"

#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"

#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <utility>

namespace tilvane {

namespace {

constexpr int windowSpacing = 16;
constexpr int columnSpacing = 12;
constexpr int passSpacing = 8;
constexpr int rowSpacing = 8;

QWidget* columnOf(int spacing, QVBoxLayout** layout)
{
    auto* column = new QWidget;
    *layout = new QVBoxLayout(column);
    (*layout)->setContentsMargins(0, 0, 0, 0);
    (*layout)->setSpacing(spacing);
    return column;
}

}  // namespace

ShaderInspector::ShaderInspector(std::vector<ShaderPreset> builtInPresets, ColorPicker picker, QWidget* parent)
    : QWidget(parent),
      builtIns_(std::move(builtInPresets)),
      picker_(std::move(picker)),
      binding_([this](const ShaderConfiguration& configuration) { commit(configuration); })
{
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    follow();
}

QString ShaderInspector::effectName(const std::string& effect)
{
    static const std::vector<std::pair<std::string, QString>> names{
        {"realisticPhosphor", QStringLiteral("Fósforo")},
        {"crt", QStringLiteral("CRT")},
        {"glitchy", QStringLiteral("Glitch")},
        {"mnoise", QStringLiteral("Ruído orgânico")},
        {"negative", QStringLiteral("Negativo")},
        {"crtLottes", QStringLiteral("CRT Lottes")},
    };
    for (const auto& [id, name] : names) {
        if (id == effect) return name;
    }
    return QString::fromStdString(effect);
}

void ShaderInspector::setPresetID(const PresetSelection& presetID)
{
    if (presetID_ == presetID) return;
    presetID_ = presetID;
    expanded_ = {0};
    preset_ = comparedShaderPreset(presetID_, personal_, builtIns_);
    follow();
}

void ShaderInspector::setPersonalPreset(const std::optional<PersonalPreset>& preset)
{
    if (personal_ == preset) return;
    personal_ = preset;
    preset_ = comparedShaderPreset(presetID_, personal_, builtIns_);
    follow();
}

void ShaderInspector::setConfiguration(const std::optional<ShaderConfiguration>& configuration)
{
    if (binding_.current() == configuration) return;
    binding_.hold(configuration);
    follow();
}

void ShaderInspector::setReduceMotion(bool reduceMotion)
{
    if (reduceMotion_ == reduceMotion) return;
    reduceMotion_ = reduceMotion;
    refreshMarks();
}

bool ShaderInspector::isAdjusted() const
{
    return isShaderAdjusted(binding_.current(), preset_, personal_);
}

std::optional<ShaderInspector::Structure> ShaderInspector::structure() const
{
    const auto& configuration = binding_.current();
    const auto& compared = preset_;
    if (!configuration || !compared) return std::nullopt;
    Structure result{compared->id, compared->name, {}, expanded_, configuration->bezel.isOn};
    for (const auto& pass : configuration->passes) result.passes.emplace_back(pass.id, pass.effect);
    return result;
}

void ShaderInspector::follow()
{
    if (structure() != built_) {
        rebuild();
    } else {
        refreshMarks();
    }
}

void ShaderInspector::commit(const ShaderConfiguration& configuration)
{
    binding_.hold(configuration);
    follow();
    emit configurationEdited(configuration);
}

void ShaderInspector::rebuild()
{
    binding_.clearBindings();
    const QPointer<QWidget> old = content_;
    FocusHandover handover(old);
    content_ = nullptr;
    built_ = structure();
    const auto& compared = preset_;
    if (built_ && compared) {
        QVBoxLayout* layout = nullptr;
        content_ = columnOf(windowSpacing, &layout);
        layout->addWidget(shaderWindow(*compared));
        layout->addWidget(bezelWindow(binding_.current()->bezel));
        layout_->addWidget(content_);
        // Shown now rather than on the next turn of the event loop (as a layout shows what is added to it): in
        // between, the inspector would have no height, and the column around it would lose its scroll position.
        content_->show();
    }
    // The focus goes on before the old controls are hidden, which would send it to another part of the window.
    QWidget* focused = handover.moveTo(content_);
    if (old) {
        // The old controls leave later: one of them may be delivering the edit that led here.
        old->hide();
        old->deleteLater();
    }
    showOnlyWithContent();
    refreshMarks();
    emit controlsRebuilt();
    if (focused != nullptr && handover.byKeyboard()) emit keyboardFocusMoved(focused);
}

void ShaderInspector::showOnlyWithContent()
{
    // Without a parent, showing would open a window of its own; the parent's layout shows it later.
    if (parentWidget() != nullptr) setVisible(content_ != nullptr);
}

bool ShaderInspector::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange) showOnlyWithContent();
    return QWidget::event(event);
}

void ShaderInspector::refreshMarks()
{
    if (adjustedChip_) adjustedChip_->setVisible(isAdjusted());
    if (motionNote_) motionNote_->setVisible(reduceMotion_ && binding_.current() && binding_.current()->motion);
}

QWidget* ShaderInspector::shaderWindow(const ShaderPreset& compared)
{
    QVBoxLayout* column = nullptr;
    QWidget* content = columnOf(columnSpacing, &column);

    auto* header = new QHBoxLayout;
    header->setSpacing(rowSpacing);
    // A long name wraps, so that the header fits beside the "ajustado" chip and the remove button.
    auto* name = new WrappedText(QString(), VTTextStyle::pixelSM, &VTTheme::fgMuted);
    name->setText(QString::fromStdString(shownPresetName(compared.name)), QString::fromStdString(compared.name));
    name->setObjectName(QStringLiteral("presetName"));
    header->addWidget(name);
    adjustedChip_ = new VTChip(QStringLiteral("ajustado"));
    adjustedChip_->setObjectName(QStringLiteral("adjustedChip"));
    header->addWidget(adjustedChip_);
    header->addStretch(1);
    auto* remove =
        new PresetActionButton(QStringLiteral("Remover shader; manter preset pessoal"), QStringLiteral("trash"));
    remove->setObjectName(QStringLiteral("removeShaderButton"));
    connect(remove, &QAbstractButton::clicked, this, &ShaderInspector::removeRequested);
    header->addWidget(remove);
    column->addLayout(header);

    auto* motion = new PixelSwitch(QStringLiteral("Animação"));
    motion->setObjectName(QStringLiteral("motionSwitch"));
    binding_.bindMotion(motion);
    column->addWidget(motion);

    motionNote_ = new WrappedText(QStringLiteral("O sistema reduz movimento; a prévia fica estática."),
                                  VTTextStyle::pixelSM, &VTTheme::fgMuted);
    motionNote_->setObjectName(QStringLiteral("reduceMotionNote"));
    column->addWidget(motionNote_);

    auto* restoreButton = new VTButton(QStringLiteral("Restaurar preset"), vtPixel);
    restoreButton->setObjectName(QStringLiteral("restoreButton"));
    connect(restoreButton, &QAbstractButton::clicked, this, &ShaderInspector::restore);
    column->addWidget(restoreButton);

    const auto& passes = binding_.current()->passes;
    for (std::size_t i = 0; i < passes.size(); ++i) column->addWidget(passRow(passes[i], static_cast<int>(i)));

    auto* window = new VTWindow(QStringLiteral("Shader"), QStringLiteral("▢"));
    window->setObjectName(QStringLiteral("shaderWindow"));
    window->setContent(content);
    return window;
}

QWidget* ShaderInspector::passRow(const ShaderPass& pass, int index)
{
    QVBoxLayout* column = nullptr;
    QWidget* row = columnOf(passSpacing, &column);
    column->addWidget(new VTHairline(Qt::Horizontal));

    const QString name = effectName(pass.effect);
    const bool expanded = expanded_.contains(index);
    auto* line = new QHBoxLayout;
    line->setSpacing(rowSpacing);
    auto* toggle = new VTButton((expanded ? QStringLiteral("▾ ") : QStringLiteral("▸ ")) + name, vtPixel);
    toggle->setObjectName(QStringLiteral("passToggle:%1").arg(index));
    connect(toggle, &QAbstractButton::clicked, this, [this, index] { toggleExpanded(index); });
    line->addWidget(toggle);
    line->addStretch(1);
    auto* enabled = new PixelSwitch(QStringLiteral("Ativar ") + name, {.compact = true});
    enabled->setObjectName(QStringLiteral("passSwitch:%1").arg(index));
    binding_.bindPassOn(enabled, index);
    line->addWidget(enabled);
    column->addLayout(line);

    if (expanded) {
        auto* intensity = new ShaderValueControl(QStringLiteral("Intensidade"), {0, 1});
        intensity->setObjectName(QStringLiteral("intensity:%1").arg(index));
        binding_.bindValue(intensity, index, std::nullopt, 1);
        column->addWidget(intensity);
        shader_parameters::addControls(column, binding_, index, pass.effect, picker_);
    }
    return row;
}

QWidget* ShaderInspector::bezelWindow(const BezelSettings& bezel)
{
    QVBoxLayout* column = nullptr;
    QWidget* content = columnOf(columnSpacing, &column);
    bezel_controls::addControls(column, binding_, bezel, picker_);
    auto* window = new VTWindow(QStringLiteral("Moldura"), QStringLiteral("▢"));
    window->setObjectName(QStringLiteral("bezelWindow"));
    window->setContent(content);
    return window;
}

void ShaderInspector::restore()
{
    if (personal_) {
        emit restorePersonalRequested(personal_->visual);
        return;
    }
    const auto& compared = preset_;
    if (!compared) return;
    binding_.write([&](ShaderConfiguration& configuration) {
        configuration.passes = compared->passes;
        configuration.motion = false;
        configuration.bezel = compared->bezel;
    });
}

void ShaderInspector::toggleExpanded(int index)
{
    if (!expanded_.erase(index)) expanded_.insert(index);
    follow();
}

}  // namespace tilvane
