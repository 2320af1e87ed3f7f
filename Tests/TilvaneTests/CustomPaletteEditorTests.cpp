#include "ShaderInspectorTestSupport.hpp"

#include "Tilvane/Views/ColorWell.hpp"
#include "Tilvane/Views/CustomPaletteEditor.hpp"
#include "Tilvane/Views/WrappedText.hpp"

#include "TilvaneCore/ImagePalette.hpp"
#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTText.hpp"

#include <QPointer>

#include <functional>
#include <limits>

namespace tilvane::testing {

namespace {

using namespace panels;

const QString hint = QStringLiteral("2 A 16 Cores • Mudanças Imediatas");
const QString duplicate = QStringLiteral("Esta cor já está na paleta. Escolha outra.");

std::vector<RGBColor> firstOf(const std::vector<RGBColor>& colors, std::size_t count)
{
    return {colors.begin(), colors.begin() + static_cast<std::ptrdiff_t>(count)};
}

// An editor whose owner takes every edit back, as the editor window does.
struct PaletteHarness {
    explicit PaletteHarness(std::vector<RGBColor> colors, VTAppearance appearance = VTAppearance::vemi)
    {
        editor = new CustomPaletteEditor(std::move(colors), picker.picker());
        QObject::connect(editor, &CustomPaletteEditor::colorsEdited, editor,
                         [this](const std::vector<RGBColor>& colors) {
                             edits.push_back(colors);
                             editor->setColors(colors);
                         });
        stage = std::make_unique<Stage>(editor, appearance, 300);
    }

    QWidget& row(int index) { return *editor->rows().at(index); }
    template <class Widget>
    Widget& inRow(int index, const char* name)
    {
        return child<Widget>(row(index), QLatin1String(name));
    }
    VTButton& addButton() { return child<VTButton>(*editor, QStringLiteral("addColorButton")); }
    QString footer() { return child<WrappedText>(*editor, QStringLiteral("paletteFooter")).text(); }
    void pickFor(int index, std::optional<QColor> answer)
    {
        picker.answers = {answer};
        auto& well = inRow<ColorWell>(index, "colorWell");
        clickAt(well, well.rect().center());
    }
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    ScriptedPicker picker;
    CustomPaletteEditor* editor;
    std::vector<std::vector<RGBColor>> edits;
    std::unique_ptr<Stage> stage;
};

TEST(CustomPaletteEditorTest, RowsShowNumberCodeAndNames)
{
    PaletteHarness harness({RGBColor{255, 0, 16}, RGBColor::hex(0x335C67), RGBColor::hex(0xE09F3E)});
    ASSERT_EQ(harness.editor->rows().size(), 3);
    EXPECT_EQ(harness.inRow<VTText>(0, "colorCode").text(), "#FF0010");
    EXPECT_EQ(harness.inRow<VTText>(1, "colorCode").accessibleName(), "Cor 2: #335C67");
    EXPECT_EQ(harness.inRow<ColorWell>(2, "colorWell").accessibleName(), "Escolher cor 3 da paleta");
    EXPECT_EQ(harness.inRow<ColorWell>(0, "colorWell").color(), QColor(255, 0, 16));
    EXPECT_EQ(harness.footer(), hint);
}

TEST(CustomPaletteEditorTest, AddTakesTheFirstUnusedPico8ColourThenNES)
{
    const auto& pico = ImagePalette::pico8().colors;
    struct Row {
        const char* name;
        std::vector<RGBColor> start;
        RGBColor added;
    };
    const Row rows[] = {
        {"first three of PICO-8", firstOf(pico, 3), pico[3]},
        {"empty list", {}, pico[0]},
        {"a gap in PICO-8", {pico[0], pico[2]}, pico[1]},
        {"other colours only", {RGBColor{1, 2, 3}, RGBColor{4, 5, 6}}, pico[0]},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PaletteHarness harness(row.start);
        clickAt(harness.addButton(), harness.addButton().rect().center());
        ASSERT_EQ(harness.edits.size(), 1u);
        EXPECT_EQ(harness.edits[0].back(), row.added);
        EXPECT_EQ(harness.edits[0].size(), row.start.size() + 1);
    }

    // Fifteen PICO-8 colours: the sixteenth is added, then the limit stops further adds.
    std::vector<RGBColor> most = firstOf(pico, 15);
    PaletteHarness harness(most);
    clickAt(harness.addButton(), harness.addButton().rect().center());
    EXPECT_EQ(harness.editor->colors().back(), pico[15]);
    EXPECT_FALSE(harness.addButton().isEnabled()) << "16 colours";
    clickAt(harness.addButton(), harness.addButton().rect().center());
    EXPECT_EQ(harness.editor->colors().size(), 16u);
    EXPECT_EQ(harness.edits.size(), 1u);
}

TEST(CustomPaletteEditorTest, RemoveKeepsTheOtherRowsAndStopsAtTwo)
{
    PaletteHarness harness({RGBColor::hex(0x101820), RGBColor::hex(0x335C67), RGBColor::hex(0xE09F3E)});
    QPointer<QWidget> second = &harness.row(1);
    QPointer<QWidget> third = &harness.row(2);
    auto& remove = harness.inRow<VTButton>(0, "removeButton");
    clickAt(remove, remove.rect().center());
    harness.settle();
    ASSERT_EQ(harness.editor->rows().size(), 2);
    EXPECT_EQ(harness.editor->colors(), (std::vector<RGBColor>{RGBColor::hex(0x335C67), RGBColor::hex(0xE09F3E)}));
    EXPECT_EQ(&harness.row(0), second.data()) << "former row 2 kept its widget";
    EXPECT_EQ(&harness.row(1), third.data());
    EXPECT_EQ(harness.inRow<VTButton>(0, "removeButton").toolTip(), "Remover cor 1") << "renumbered";
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(harness.inRow<VTButton>(i, "removeButton").isEnabled());
    accessibleAction(harness.inRow<VTButton>(0, "removeButton"), QAccessibleActionInterface::pressAction());
    EXPECT_EQ(harness.editor->colors().size(), 2u);
    EXPECT_EQ(harness.edits.size(), 1u);
}

TEST(CustomPaletteEditorTest, ADuplicatePickWarnsAndWritesNothingUntilTheNextChange)
{
    PaletteHarness harness({RGBColor::hex(0x101820), RGBColor::hex(0x335C67), RGBColor::hex(0xE09F3E)});
    harness.pickFor(0, QColor(0x33, 0x5C, 0x67));
    EXPECT_EQ(harness.footer(), duplicate);
    EXPECT_TRUE(harness.edits.empty());
    EXPECT_EQ(harness.inRow<ColorWell>(0, "colorWell").color(), QColor(0x10, 0x18, 0x20)) << "still the stored colour";

    harness.pickFor(0, QColor(0x10, 0x18, 0x20));  // its own colour again: a change
    EXPECT_EQ(harness.footer(), hint);
    EXPECT_EQ(harness.edits.size(), 1u);

    harness.pickFor(1, QColor(0xE0, 0x9F, 0x3E));
    EXPECT_EQ(harness.footer(), duplicate);
    harness.editor->setColors({RGBColor{1, 1, 1}, RGBColor{2, 2, 2}});
    EXPECT_EQ(harness.footer(), hint) << "a list from elsewhere clears it";
}

TEST(CustomPaletteEditorTest, PickedComponentsRoundToChannels)
{
    struct Row {
        const char* name;
        QColor picked;
        RGBColor stored;
    };
    const Row rows[] = {
        {"half rounds up", QColor::fromRgbF(0.5f, 0.5f, 0.5f), RGBColor{128, 128, 128}},
        {"outside the gamut clamps", QColor::fromRgbF(1.2f, -0.1f, 0), RGBColor{255, 0, 0}},
        {"another colour model", QColor::fromHsv(240, 255, 255), RGBColor{0, 0, 255}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PaletteHarness harness({RGBColor{9, 9, 9}, RGBColor{8, 8, 8}});
        harness.pickFor(1, row.picked);
        EXPECT_EQ(harness.editor->colors()[1], row.stored);
    }
    PaletteHarness harness({RGBColor{9, 9, 9}, RGBColor{8, 8, 8}});
    harness.pickFor(0, std::nullopt);
    harness.pickFor(0, QColor());
    harness.pickFor(0, QColor::fromRgbF(0, 0, -std::numeric_limits<float>::infinity()));
    EXPECT_TRUE(harness.edits.empty()) << "cancelled, invalid or non-finite picks write nothing";
}

// The picker waits for the user while the window goes on: a well that is gone or no longer on screen when the answer
// comes takes no colour.
TEST(CustomPaletteEditorTest, APickThatOutlivesItsWellChangesNothing)
{
    const std::vector<RGBColor> colors{RGBColor::hex(0x101820), RGBColor::hex(0x335C67), RGBColor::hex(0xE09F3E)};
    struct Row {
        const char* name;
        std::function<void(PaletteHarness&)> meanwhile;
        bool edited;
    };
    const Row rows[] = {
        {"nothing meanwhile", [](PaletteHarness&) {}, true},
        {"the palette renewed: the well is hidden and waits to go",
         [&](PaletteHarness& harness) { harness.editor->setColors(firstOf(colors, 2)); }, false},
        {"the palette renewed and the old well destroyed",
         [&](PaletteHarness& harness) {
             harness.editor->setColors(firstOf(colors, 2));
             harness.settle();
         },
         false},
        {"the window closed", [](PaletteHarness& harness) { harness.stage->root->hide(); }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PaletteHarness harness(colors);
        harness.picker.meanwhile = [&] { row.meanwhile(harness); };
        harness.pickFor(0, QColor(0xAA, 0x00, 0x55));
        EXPECT_EQ(harness.edits.empty(), !row.edited);
    }
}

TEST(CustomPaletteEditorTest, AListOfAnotherLengthRenewsEveryRow)
{
    PaletteHarness harness({RGBColor{1, 1, 1}, RGBColor{2, 2, 2}, RGBColor{3, 3, 3}});
    QPointer<QWidget> first = &harness.row(0);
    harness.editor->setColors({RGBColor{4, 4, 4}, RGBColor{5, 5, 5}, RGBColor{6, 6, 6}});
    EXPECT_EQ(&harness.row(0), first.data()) << "same length keeps the rows";
    EXPECT_EQ(harness.inRow<VTText>(0, "colorCode").text(), "#040404");
    harness.editor->setColors({RGBColor{4, 4, 4}, RGBColor{5, 5, 5}});
    harness.settle();
    EXPECT_TRUE(first.isNull()) << "another length renews them";
    EXPECT_EQ(harness.editor->rows().size(), 2);
    EXPECT_TRUE(harness.edits.empty()) << "setColors reports nothing";

    std::vector<RGBColor> many;
    for (std::uint8_t i = 0; i < 18; ++i) many.push_back(RGBColor{i, i, i});
    harness.editor->setColors(many);
    EXPECT_EQ(harness.editor->rows().size(), 18) << "a list from outside shows whatever its length";
    EXPECT_FALSE(harness.addButton().isEnabled());
    harness.editor->setColors({RGBColor{1, 2, 3}});
    EXPECT_EQ(harness.editor->rows().size(), 1);
    EXPECT_FALSE(harness.inRow<VTButton>(0, "removeButton").isEnabled());
}

}  // namespace

}  // namespace tilvane::testing
