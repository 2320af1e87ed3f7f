// A drag over a value control: 1,000 mouse moves, each followed by the repaint and relayout it posted.
//   loneControlDrag  the moves over a ShaderValueControl alone in a kit window
//   inspectorDrag    the same moves over the "Brilho" control inside a full ShaderInspector (a phosphor pass with
//                    its 21 parameters, the bezel on) whose owner takes every edit back, as the editor window does
// After the table the program prints inspector time ÷ lone time, best of five drags each (the target is at most 2).
#include "Tilvane/Views/ShaderInspector.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"

#include "TilvaneShaders/ShaderPresetCatalog.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"
#include "VemiTerminal/Theme/VTFonts.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

using namespace tilvane;

namespace {

constexpr int moves = 1000;
constexpr int panelWidth = 320;

struct DragTarget {
    std::unique_ptr<QWidget> window;
    ShaderValueControl* control = nullptr;
};

std::unique_ptr<QWidget> themedWindow(QWidget* content)
{
    auto window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    layout->addWidget(content);
    layout->addStretch(1);
    vemiTerminal(window.get(), VTAppearance::noite);
    window->resize(panelWidth, window->sizeHint().height());
    window->show();
    QCoreApplication::processEvents();
    return window;
}

DragTarget loneControl()
{
    auto* control = new ShaderValueControl(QStringLiteral("Brilho"), {0, 4});
    QObject::connect(control, &ShaderValueControl::valueEdited, control, &ShaderValueControl::setValue);
    auto* panel = new VTWindow(QStringLiteral("Shader"), QStringLiteral("▢"));
    panel->setContent(control);
    return {themedWindow(panel), control};
}

DragTarget inspectorControl()
{
    static const auto presets = tilvane::loadShaderPresets(
        TILVANE_BENCH_APP_DIR "/Resources/Tilvane_TilvaneShaders.bundle/Resources/ZentorialPresets.json");
    const auto phosphor = std::find_if(presets.begin(), presets.end(), [](const tilvane::ShaderPreset& preset) {
        return !preset.passes.empty() && preset.passes[0].effect == "realisticPhosphor";
    });
    if (phosphor == presets.end()) throw std::runtime_error("no phosphor preset in the application bundle");
    auto* inspector = new ShaderInspector(presets);
    QObject::connect(inspector, &ShaderInspector::configurationEdited, inspector, &ShaderInspector::setConfiguration);
    auto configuration = tilvane::ShaderConfiguration::fromPreset(*phosphor);
    configuration.bezel.isOn = true;
    inspector->setPresetID(phosphor->id);
    inspector->setConfiguration(configuration);
    DragTarget target{themedWindow(inspector), nullptr};
    target.control = inspector->findChild<ShaderValueControl*>(QStringLiteral("parameter:0:bloom"));
    if (target.control == nullptr) throw std::runtime_error("no bloom control in the inspector");
    return target;
}

// Presses at the left end, moves back and forth along the track and releases; every move is followed by the
// paint and layout work it posted.
void drag(ShaderValueControl* control)
{
    const double y = control->trackArea().center().y();
    const double left = 6;
    const double right = control->width() - 6;
    auto send = [&](QEvent::Type type, double x, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(x, y), control->mapToGlobal(QPointF(x, y)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(control, &event);
    };
    send(QEvent::MouseButtonPress, left, Qt::LeftButton, Qt::LeftButton);
    for (int i = 0; i < moves; ++i) {
        const double phase = (i % 200) / 100.0;
        const double x = left + (right - left) * (phase <= 1 ? phase : 2 - phase);
        send(QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton);
        QCoreApplication::sendPostedEvents();
    }
    send(QEvent::MouseButtonRelease, left, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::sendPostedEvents();
}

double bestDragSeconds(DragTarget (*make)())
{
    DragTarget target = make();
    double best = 1e300;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        drag(target.control);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void loneControlDrag(benchmark::State& state)
{
    DragTarget target = loneControl();
    for (auto _ : state) drag(target.control);
}

void inspectorDrag(benchmark::State& state)
{
    DragTarget target = inspectorControl();
    for (auto _ : state) drag(target.control);
}

}  // namespace

BENCHMARK(loneControlDrag)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(inspectorDrag)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    VTFonts::registerIfNeeded(QStringLiteral(TILVANE_BENCH_APP_DIR "/Resources/VemiTerminal_VemiTerminal.bundle"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double lone = bestDragSeconds(loneControl);
    const double inspector = bestDragSeconds(inspectorControl);
    std::printf("%d moves: lone control %.1f ms, inside the inspector %.1f ms, ratio %.2f (target at most 2)\n", moves,
                lone * 1000, inspector * 1000, inspector / lone);
    return 0;
}
