#include "EditorTestServices.hpp"
#include "PanelTestSupport.hpp"
#include "PreviewTestSupport.hpp"
#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "Tilvane/Views/PresetNameSheet.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QAbstractButton>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

using panels::accessible;

// A shown editor window whose user goes through the preset panel, the name sheet and the alerts.
class EditorPresetFlow : public ::testing::Test {
protected:
    void SetUp() override { open(); }

    void open()
    {
        window = std::make_unique<EditorWindow>(fixture.services());
        vemiTerminal(window.get(), VTAppearance::noite);
        window->resize(1200, 760);
        window->show();
        settle();
    }

    void settle()
    {
        for (int turn = 0; turn < 3; ++turn) {
            QCoreApplication::processEvents();
            fixture.jobs->runAll();
        }
    }

    template <class Widget = QWidget>
    Widget& named(const char* name)
    {
        auto* widget = window->findChild<Widget*>(QLatin1String(name));
        if (widget == nullptr) throw std::runtime_error(std::string("no widget named ") + name);
        return *widget;
    }

    void click(const char* name)
    {
        QTest::mouseClick(&named(name), Qt::LeftButton);
        settle();
    }

    PresetNameSheet* sheet() { return window->findChild<PresetNameSheet*>(QStringLiteral("presetNameSheet")); }

    EditorTestServices fixture;
    std::unique_ptr<EditorWindow> window;
};

TEST_F(EditorPresetFlow, ASheetCreatesThePresetAnEditMarksItAsDraftAndTheAlertDeletesIt)
{
    click("createPreset");
    ASSERT_NE(sheet(), nullptr);
    EXPECT_TRUE(sheet()->isVisible());
    EXPECT_EQ(sheet()->windowTitle(), "Salvar Preset");

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("   "));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    ASSERT_NE(sheet(), nullptr) << "a blank name keeps the sheet open";
    EXPECT_TRUE(window->view().state().personalPresets.empty());

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Meu CRT"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    EXPECT_EQ(sheet(), nullptr);
    ASSERT_EQ(window->view().state().personalPresets.size(), 1u);
    const auto created = window->view().state().personalPresets.front();
    EXPECT_EQ(created.name, "Meu CRT") << "stored trimmed";
    EXPECT_EQ(window->view().state().shaderID, personalSelectionID(created.id));
    EXPECT_TRUE(named("presetNameCaption").isVisible());
    EXPECT_FALSE(named("presetDraftChip").isVisible());

    click("pixelIncrease");
    EXPECT_EQ(window->view().state().visual.pixelSize, 9);
    EXPECT_TRUE(named("presetDraftChip").isVisible()) << "the edited look differs from the preset";

    click("deletePreset");
    auto& alert = named<QMessageBox>("deletePresetAlert");
    EXPECT_EQ(alert.text(), "Excluir preset Meu CRT?");
    EXPECT_EQ(alert.informativeText(), "O preset será removido deste computador.");
    click("confirmDeletePreset");
    EXPECT_TRUE(window->view().state().personalPresets.empty());
    EXPECT_EQ(window->view().state().shaderID, std::nullopt);
    EXPECT_EQ(window->view().state().visual.pixelSize, 9) << "the rest of the look stays";
    EXPECT_TRUE(PersonalPresetStore(fixture.presetsFile()).load().empty());
}

TEST_F(EditorPresetFlow, EscapeLeavesTheSheetWithoutCreatingAnything)
{
    click("createPreset");
    ASSERT_NE(sheet(), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Rascunho"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(sheet(), nullptr);
    EXPECT_FALSE(window->view().state().showingNameDialog);
    EXPECT_TRUE(window->view().state().personalPresets.empty());
}

TEST_F(EditorPresetFlow, AnUnreadablePresetsFileDisablesCreateAndImportAndIsReported)
{
    {
        QFile broken(QString::fromStdString(fixture.presetsFile().string()));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write(R"({"version": 1, "presets": [{"id": "x"}]})");
    }
    window.reset();
    open();
    EXPECT_FALSE(named("createPreset").isEnabled());
    EXPECT_FALSE(named("importPreset").isEnabled());
    auto& alert = named<QMessageBox>("errorAlert");
    EXPECT_TRUE(alert.informativeText().startsWith("Não foi possível ler os presets pessoais: "))
        << alert.informativeText().toStdString();
}

TEST_F(EditorPresetFlow, RemovingTheShaderFromTheInspectorWithUnsavedEditsGoesThroughTheAlert)
{
    auto look = initialVisualSettings();
    look.shader = ShaderConfiguration::fromPreset(builtInPresets().front());
    const PersonalPreset stored{Uuid::random(), "Com shader", look};
    PersonalPresetStore(fixture.presetsFile()).save({stored});
    window.reset();
    open();
    window->view().selectFromGallery(personalSelectionID(stored.id));
    settle();

    click("motionSwitch");
    ASSERT_TRUE(window->view().hasUnsavedChanges());
    click("removeShaderButton");
    auto& alert = named<QMessageBox>("unsavedAlert");
    EXPECT_TRUE(alert.isVisible());
    EXPECT_TRUE(window->view().state().visual.shader.has_value()) << "nothing is removed before the answer";
    QPushButton* discard = nullptr;
    for (auto* button : alert.findChildren<QPushButton*>()) {
        if (button->text() == "Descartar") discard = button;
    }
    ASSERT_NE(discard, nullptr);
    QTest::mouseClick(discard, Qt::LeftButton);
    settle();
    EXPECT_EQ(window->view().state().shaderID, std::nullopt);
    EXPECT_EQ(window->view().state().visual.shader, std::nullopt);
    EXPECT_EQ(PersonalPresetStore(fixture.presetsFile()).load(), std::vector{stored}) << "nothing was saved";
}

// A name of 10,000 characters, typed in words or pasted as one: every window that draws it keeps its size, so that the
// delete alert fits a 1920 × 1200 screen with its buttons; the name stays whole where it is not drawn.
TEST_F(EditorPresetFlow, AVeryLongPresetNameIsShownElidedInTheMiddleSoTheDeleteAlertFitsTheScreen)
{
    std::string words;
    while (words.size() < 10'000) words += "Retro CRT ambar ";
    words.resize(9'999);
    words += "Z";
    const std::pair<const char*, std::string> names[] = {{"words", words}, {"one word", std::string(10'000, 'W')}};
    for (const auto& [kind, name] : names) {
        SCOPED_TRACE(kind);
        auto look = initialVisualSettings();
        look.shader = ShaderConfiguration::fromPreset(builtInPresets().front());
        const PersonalPreset stored{Uuid::random(), name, look};
        PersonalPresetStore(fixture.presetsFile()).save({stored});
        window.reset();
        open();
        window->view().selectFromGallery(personalSelectionID(stored.id));
        settle();

        const QString full = QString::fromStdString(name);
        EXPECT_LT(named("presetNameCaption").height(), 80);
        EXPECT_EQ(accessible(named("presetNameCaption")).text(QAccessible::Name), full);
        EXPECT_LT(named("presetName").height(), 80) << "the shader inspector's header";
        EXPECT_EQ(accessible(named("presetName")).text(QAccessible::Name), full);
        EXPECT_EQ(named("deletePreset").toolTip(), "Excluir preset pessoal " + full);
        auto& card = named(("shaderCard:" + personalSelectionID(stored.id)).c_str());
        EXPECT_EQ(accessible(card).text(QAccessible::Name), "Preset pessoal: " + full);

        click("deletePreset");
        auto& alert = named<QMessageBox>("deletePresetAlert");
        const QSize size = alert.frameGeometry().size();
        EXPECT_LE(size.width(), 1920);
        EXPECT_LE(size.height(), 1200);
        EXPECT_TRUE(alert.text().startsWith(QString::fromStdString("Excluir preset " + name.substr(0, 20))))
            << alert.text().left(80).toStdString();
        EXPECT_TRUE(alert.text().endsWith(QString::fromStdString(name.substr(name.size() - 20) + "?")))
            << alert.text().right(80).toStdString();
        EXPECT_EQ(alert.text().count(QStringLiteral("…")), 1);
        EXPECT_LE(alert.text().size(), QStringLiteral("Excluir preset ?").size() + 48);
        click("cancelDeletePreset");

        click("renamePreset");
        ASSERT_NE(sheet(), nullptr);
        EXPECT_LE(sheet()->frameGeometry().width(), 1920);
        EXPECT_LE(sheet()->frameGeometry().height(), 1200);
        EXPECT_EQ(sheet()->name(), full) << "the name to edit is whole";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        settle();
        EXPECT_EQ(PersonalPresetStore(fixture.presetsFile()).load().front().name, name) << "the file keeps it whole";
    }
}

}  // namespace
}  // namespace tilvane::testing
