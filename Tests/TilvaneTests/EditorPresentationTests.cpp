#include "EditorTestServices.hpp"
#include "Tilvane/Editor/EditorPresentation.hpp"

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

namespace presentation = editor_presentation;

TEST(EditorPresentation, SubtitleFollowsNameSourceAndLoading)
{
    struct Row {
        const char* name;
        std::function<void(ContentViewState&)> set;
        QString subtitle;
        std::optional<QString> loadingName;
    };
    const std::vector<Row> rows = {
        {"nothing yet", [](ContentViewState&) {}, QStringLiteral("Abra ou arraste uma imagem para começar"),
         std::nullopt},
        {"opening",
         [](ContentViewState& s) {
             s.sourceName = "gato.png";
             s.isProcessing = true;
         },
         QStringLiteral("Abrindo gato.png…"), QStringLiteral("gato.png")},
        {"shown",
         [](ContentViewState& s) {
             s.sourceName = "gato.png";
             s.source = solidImage(1920, 1080);
         },
         QStringLiteral("gato.png · 1920 × 1080 px"), std::nullopt},
        {"converting",
         [](ContentViewState& s) {
             s.sourceName = "gato.png";
             s.source = solidImage(12, 10);
             s.isProcessing = true;
         },
         QStringLiteral("gato.png · 12 × 10 px"), std::nullopt},
        {"open failed",
         [](ContentViewState& s) {
             s.sourceName = "quebrado.jpg";
             s.sourceURL = "/tmp/quebrado.jpg";
         },
         QStringLiteral("Abra ou arraste uma imagem para começar"), std::nullopt},
    };
    for (const auto& row : rows) {
        ContentViewState state;
        row.set(state);
        EXPECT_EQ(presentation::subtitle(state), row.subtitle) << row.name;
        EXPECT_EQ(presentation::loadingName(state), row.loadingName) << row.name;
    }
}

TEST(EditorPresentation, StatusChipPrefersConversionOverShader)
{
    struct Row {
        const char* name;
        bool hasSource, isProcessing, isShaderProcessing;
        std::optional<QString> chip;
    };
    const Row rows[] = {
        {"idle", true, false, false, std::nullopt},
        {"opening a file", false, true, false, std::nullopt},
        {"converting", true, true, false, QStringLiteral("convertendo")},
        {"shader", true, false, true, QStringLiteral("aplicando shader")},
        {"both", true, true, true, QStringLiteral("convertendo")},
        {"opening while the old shader renders", false, true, true, QStringLiteral("aplicando shader")},
    };
    for (const auto& row : rows) {
        ContentViewState state;
        if (row.hasSource) state.source = solidImage(4, 4);
        state.isProcessing = row.isProcessing;
        state.isShaderProcessing = row.isShaderProcessing;
        EXPECT_EQ(presentation::statusChip(state), row.chip) << row.name;
    }
}

TEST(EditorPresentation, ExportsNeedAGridAndQuiet)
{
    struct Row {
        const char* name;
        bool grid, processing, shader, exporting;
        bool disabled;
    };
    const Row rows[] = {
        {"ready", true, false, false, false, false},    {"no grid", false, false, false, false, true},
        {"converting", true, true, false, false, true}, {"shader", true, false, true, false, true},
        {"exporting", true, false, false, true, true},
    };
    for (const auto& row : rows) {
        ContentViewState state;
        if (row.grid) state.pixelGrid = solidImage(2, 2);
        state.isProcessing = row.processing;
        state.isShaderProcessing = row.shader;
        state.isExporting = row.exporting;
        EXPECT_EQ(presentation::exportsDisabled(state), row.disabled) << row.name;
        EXPECT_EQ(presentation::exportTitle(state, QStringLiteral("Exportar PNG")),
                  row.exporting ? QStringLiteral("Exportando…") : QStringLiteral("Exportar PNG"))
            << row.name;
    }
}

TEST(EditorPresentation, ThemeButtonNamesTheThemeItSwitchesTo)
{
    struct Row {
        VTAppearance now, next;
        QString label;
    };
    const Row rows[] = {{VTAppearance::noite, VTAppearance::vemi, QStringLiteral("Vemi")},
                        {VTAppearance::system, VTAppearance::vemi, QStringLiteral("Vemi")},
                        {VTAppearance::vemi, VTAppearance::noite, QStringLiteral("Noite")}};
    for (const auto& row : rows) {
        EXPECT_EQ(presentation::toggledAppearance(row.now), row.next) << vtRawValue(row.now).toStdString();
        EXPECT_EQ(presentation::themeButtonLabel(row.now), row.label) << vtRawValue(row.now).toStdString();
    }
}

TEST(EditorPresentation, ComparisonShowsTheShaderImageOnceThereIsOne)
{
    ContentViewState state;
    state.pixelGrid = solidImage(2, 2);
    EXPECT_EQ(presentation::comparisonResult(state), state.pixelGrid);
    state.shaderImage = solidImage(8, 8);
    EXPECT_EQ(presentation::comparisonResult(state), state.shaderImage);
}

}  // namespace
}  // namespace tilvane::testing
