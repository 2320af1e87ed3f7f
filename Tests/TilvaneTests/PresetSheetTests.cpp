#include "PanelTestSupport.hpp"

#include "Tilvane/Views/PixelIcons.hpp"
#include "Tilvane/Views/PresetActionButton.hpp"
#include "Tilvane/Views/PresetNameSheet.hpp"

#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTTextField.hpp"

#include <QSignalSpy>

namespace tilvane::testing {

namespace {

using namespace panels;

// MARK: PresetActionButton

TEST(PresetActionButtonTest, DrawsItsIconAndNoTextAndNamesItselfByItsTitle)
{
    for (const char* symbol : {"plus", "square.and.arrow.down", "pencil", "arrow.uturn.backward", "trash",
                               "tray.and.arrow.down", "square.and.arrow.up"}) {
        SCOPED_TRACE(symbol);
        EXPECT_TRUE(hasPixelIcon(QString::fromLatin1(symbol)));
        auto* button = new PresetActionButton(QStringLiteral("Salvar preset"), QString::fromLatin1(symbol));
        Stage stage(button);
        EXPECT_EQ(button->toolTip(), "Salvar preset");
        EXPECT_EQ(accessible(*button).text(QAccessible::Name), "Salvar preset");
        EXPECT_TRUE(button->text().isEmpty());
        EXPECT_GT(countColour(snapshot(*button), {1, 1, 30, 30}, stage.theme().fg), 12) << "the icon is drawn in fg";
    }
}

TEST(PresetActionButtonTest, AnUnknownSymbolDrawsNothingButStillActs)
{
    auto* button = new PresetActionButton(QStringLiteral("Importar"), QStringLiteral("no.such.symbol"));
    Stage stage(button);
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    EXPECT_EQ(countColour(snapshot(*button), {2, 2, 28, 28}, stage.theme().bgWindow), 28 * 28);
    clickAt(*button, {16, 16});
    EXPECT_EQ(clicked.size(), 1);
}

// MARK: PresetNameSheet

class PresetNameSheetTest : public ::testing::Test {
protected:
    void open(const QString& name, bool accepts)
    {
        owner = std::make_unique<QWidget>();
        vemiTerminal(owner.get(), VTAppearance::noite);
        owner->resize(600, 400);
        owner->show();
        sheet = new PresetNameSheet(
            QStringLiteral("Novo preset"), name,
            [this, accepts] {
                saves.append(sheet->name());
                return accepts;
            },
            owner.get());
        sheet->show();
        QCoreApplication::processEvents();
    }

    VTTextField& field() { return child<VTTextField>(*sheet, QStringLiteral("presetNameField")); }
    VTButton& saveButton() { return child<VTButton>(*sheet, QStringLiteral("saveButton")); }

    std::unique_ptr<QWidget> owner;
    PresetNameSheet* sheet = nullptr;
    QStringList saves;
};

TEST_F(PresetNameSheetTest, OpensWindowModalWithTheFocusInTheFieldAndReportsOnlyTyping)
{
    open(QString(), true);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->focusWidget(), &field());
    EXPECT_EQ(accessible(field()).text(QAccessible::Name), "Nome do preset");
    QSignalSpy edited(sheet, &PresetNameSheet::nameEdited);
    sheet->setName(QStringLiteral("Fósforo"));
    EXPECT_EQ(edited.size(), 0) << "setName does not report";
    EXPECT_TRUE(saveButton().isEnabled());
    QTest::keyClicks(sheet->focusWidget(), QStringLiteral("x"));
    ASSERT_EQ(edited.size(), 1);
    EXPECT_EQ(edited.front().at(0).toString(), "Fósforox");
    EXPECT_EQ(sheet->name(), "Fósforox");
}

TEST_F(PresetNameSheetTest, ABlankNameCannotBeSaved)
{
    struct Row {
        const char* name;
        QString text;
    };
    const Row rows[] = {
        {"empty", QString()}, {"spaces", QStringLiteral("   ")}, {"line breaks", QStringLiteral(" \n\t")}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        open(row.text, true);
        EXPECT_FALSE(saveButton().isEnabled());
        QTest::keyClick(&field(), Qt::Key_Return);
        EXPECT_TRUE(saves.isEmpty());
        EXPECT_TRUE(sheet->isVisible());
    }
}

TEST_F(PresetNameSheetTest, OneReturnPressSavesOnceAndOnlyAnAcceptedSaveCloses)
{
    open(QStringLiteral("  Meu CRT  "), false);
    EXPECT_TRUE(saveButton().isEnabled());
    QTest::keyClick(&field(), Qt::Key_Return);
    ASSERT_EQ(saves.size(), 1);
    EXPECT_EQ(saves.front(), "  Meu CRT  ") << "handed on untrimmed";
    EXPECT_TRUE(sheet->isVisible());
    clickAt(saveButton(), saveButton().rect().center());
    EXPECT_EQ(saves.size(), 2);
    EXPECT_TRUE(sheet->isVisible());

    open(QStringLiteral("Âmbar"), true);
    QSignalSpy accepted(sheet, &QDialog::accepted);
    QTest::keyClick(&field(), Qt::Key_Enter);
    EXPECT_EQ(saves.size(), 3);
    EXPECT_EQ(accepted.size(), 1);
    EXPECT_FALSE(sheet->isVisible()) << "an accepted save closes the sheet";
}

TEST_F(PresetNameSheetTest, EscapeAndCancelCloseWithoutSaving)
{
    open(QStringLiteral("Âmbar"), true);
    QSignalSpy rejected(sheet, &QDialog::rejected);
    QTest::keyClick(&field(), Qt::Key_Escape);
    EXPECT_EQ(rejected.size(), 1);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(saves.isEmpty());

    open(QStringLiteral("Âmbar"), true);
    auto& cancel = child<VTButton>(*sheet, QStringLiteral("cancelButton"));
    clickAt(cancel, cancel.rect().center());
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(saves.isEmpty());
}

}  // namespace

}  // namespace tilvane::testing
