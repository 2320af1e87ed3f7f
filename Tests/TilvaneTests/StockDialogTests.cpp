// The settings dialog and the windows Qt draws itself (the error alert, the PNG and GIF save panels) read in both
// themes, follow the theme picker while open, and speak Portuguese; the stock look leaves the editor window as it
// was. Screenshots go to Screenshots/Dialogs.

#include "EditorTestServices.hpp"
#include "TestSupport/TextContrast.hpp"
#include "Tilvane/App/QtTranslations.hpp"
#include "Tilvane/App/StockDialogLook.hpp"
#include "Tilvane/App/TilvaneApp.hpp"
#include "Tilvane/Editor/SavePanels.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "Tilvane/Views/FileDialogs.hpp"
#include "VeldranTelemetry/TelemetryFeedbackView.hpp"
#include "VemiTerminal/Theme/VTStockPalette.hpp"
#include "VemiTerminal/Theme/VTTheme.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace tilvane::testing {
namespace {

// The ground of the stock windows in that theme, as the screen shows it.
QRgb windowColour(VTAppearance appearance)
{
    return vtStockPalette(vtResolveTheme(appearance, false)).color(QPalette::Window).rgb();
}

void saveScreenshot(QWidget& window, const QString& name, VTAppearance appearance)
{
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Dialogs"));
    window.grab().save(
        QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Dialogs/%1-%2.png").arg(name, vtRawValue(appearance)));
}

void settle()
{
    for (int turn = 0; turn < 3; ++turn) QCoreApplication::processEvents();
}

// Where a part of a button (its text, a check box's square) lies in `window`.
QRect buttonPart(QWidget& window, QAbstractButton& button, QStyle::SubElement part)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    return button.style()->subElementRect(part, &option, &button).translated(button.mapTo(&window, QPoint()));
}

// Where the text of a visible label or button of `window` is drawn, by text, and whether its widget is enabled; a
// button's frame and a check box's indicator are left out.
struct TextArea {
    QString text;
    QRect area;
    bool enabled;
};
std::vector<TextArea> textAreas(QWidget& window)
{
    std::vector<TextArea> areas;
    const auto add = [&](QWidget* widget, const QString& text, QRect area) {
        if (widget->isVisibleTo(&window) && !text.isEmpty()) areas.push_back({text, area, widget->isEnabled()});
    };
    for (QLabel* label : window.findChildren<QLabel*>())
        add(label, label->text(), label->contentsRect().translated(label->mapTo(&window, QPoint())));
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const bool isCheckBox = qobject_cast<QCheckBox*>(button) != nullptr;
        if (!isCheckBox && qobject_cast<QPushButton*>(button) == nullptr) continue;
        const auto element = isCheckBox ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
        add(button, button->text(), buttonPart(window, *button, element));
    }
    return areas;
}

// Every text of the window stands out from its ground by at least 4.5:1 in the rendered pixels; the text of a
// disabled control, drawn fainter, by at least 3:1.
void expectReadableTexts(QWidget& window)
{
    const QImage shown = window.grab().toImage();
    const auto areas = textAreas(window);
    EXPECT_FALSE(areas.empty());
    for (const auto& [text, area, enabled] : areas)
        EXPECT_GE(textContrast(shown, area), enabled ? 4.5 : 3.0) << text.toStdString();
}

// The application on test services, with the real settings content, in the given theme.
struct DialogApp {
    explicit DialogApp(VTAppearance appearance)
        : defaults(QString::fromStdString(fixture.file("settings.ini").string()), QSettings::IniFormat),
          app(AppEnvironment{
              .editorServices = [this] { return fixture.services(); },
              .settingsContent = AppEnvironment::standard().settingsContent,
              .checkForUpdates =
                  [](QObject* parent) { return new QAction(QStringLiteral("Buscar atualizações…"), parent); },
              .defaults = &defaults,
              .exports = fixture.exports,
              .incoming = &fixture.incoming,
              .lifecycle = &fixture.lifecycle,
          })
    {
        app.setAppearance(appearance);
    }

    EditorTestServices fixture;
    QSettings defaults;
    TilvaneApp app;
};

TEST(StockDialogs, SettingsDialogTextsReadInBothThemesAndFollowTheThemeLive)
{
    DialogApp test(VTAppearance::noite);
    test.app.showSettings();
    QDialog& dialog = *test.app.settingsDialog();
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi, VTAppearance::noite}) {
        SCOPED_TRACE(vtRawValue(appearance).toStdString());
        test.app.setAppearance(appearance);
        settle();
        expectReadableTexts(dialog);
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            const QRect lines = label->fontMetrics().boundingRect(QRect(0, 0, label->contentsRect().width(), 10'000),
                                                                  Qt::TextWordWrap, label->text());
            EXPECT_GE(label->contentsRect().height(), lines.height()) << "not clipped: " << label->text().toStdString();
        }
        saveScreenshot(dialog, QStringLiteral("settings"), appearance);
    }
}

// The feedback sheet opened from the settings, after "Copiar" with its note shown, and its menu of share choices
// read in both themes.
TEST(StockDialogs, FeedbackSheetAndItsShareChoicesReadInBothThemes)
{
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        SCOPED_TRACE(vtRawValue(appearance).toStdString());
        DialogApp test(appearance);
        test.app.showSettings();
        test.app.settingsDialog()->findChild<QPushButton*>(QStringLiteral("feedbackButton"))->click();
        auto* sheet = test.app.settingsDialog()->findChild<veldran::TelemetryFeedbackView*>();
        ASSERT_NE(sheet, nullptr);
        sheet->findChild<QPlainTextEdit*>(QStringLiteral("feedbackMessage"))->setPlainText(QStringLiteral("Ótimo."));
        auto* share = sheet->findChild<QPushButton*>(QStringLiteral("shareFeedback"));
        auto* choices = sheet->findChild<QMenu*>(QStringLiteral("shareChoices"));
        share->click();
        settle();
        ASSERT_TRUE(choices->isVisible());
        saveScreenshot(*choices, QStringLiteral("feedback-share-choices"), appearance);
        choices->findChild<QAction*>(QStringLiteral("copyFeedback"))->trigger();
        choices->close();
        settle();
        EXPECT_TRUE(sheet->findChild<QLabel*>(QStringLiteral("copiedNote"))->isVisible());
        expectReadableTexts(*sheet);
        saveScreenshot(*sheet, QStringLiteral("feedback"), appearance);
    }
}

// A build without telemetry or updates offers none of the three switches: in both themes their labels are drawn in
// the theme's disabled ink, not in full ink, and each check box's square stands out at least 3:1 from the window
// and from its own fill.
TEST(StockDialogs, SettingsSwitchesThatAreNotOfferedLookDisabledAndTheirSquaresStandOut)
{
    DialogApp test(VTAppearance::noite);
    test.app.showSettings();
    QDialog& dialog = *test.app.settingsDialog();
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        SCOPED_TRACE(vtRawValue(appearance).toStdString());
        test.app.setAppearance(appearance);
        settle();
        const VTTheme& theme = vtResolveTheme(appearance, false);
        const QImage shown = dialog.grab().toImage();
        const auto boxes = dialog.findChildren<QCheckBox*>();
        ASSERT_EQ(boxes.size(), 3);
        for (QCheckBox* box : boxes) {
            SCOPED_TRACE(box->text().toStdString());
            ASSERT_FALSE(box->isEnabled());
            const QRect label = buttonPart(dialog, *box, QStyle::SE_CheckBoxContents);
            const QColor ground = groundColour(shown, label);
            const QColor ink = inkColour(shown, label);
            const QColor disabled = vtDisabledInk(theme, ground);
            EXPECT_NEAR(ink.red(), disabled.red(), 3) << ink.name().toStdString();
            EXPECT_NEAR(ink.green(), disabled.green(), 3) << ink.name().toStdString();
            EXPECT_NEAR(ink.blue(), disabled.blue(), 3) << ink.name().toStdString();
            EXPECT_GE(outlineContrast(shown, buttonPart(dialog, *box, QStyle::SE_CheckBoxIndicator)), 3.0);
        }
    }
}

TEST(StockDialogs, ErrorAlertIsDrawnInTheWindowsThemeAndFollowsItLive)
{
    DialogApp test(VTAppearance::noite);
    test.app.launch({});
    settle();
    EditorWindow* window = test.app.editorWindows().first();
    window->view().loadImage(test.fixture.file("missing.png"), ImageOrigin::chosen);
    test.fixture.jobs->runAll();
    settle();
    auto* alert = window->findChild<QMessageBox*>(QStringLiteral("errorAlert"));
    ASSERT_NE(alert, nullptr);
    ASSERT_TRUE(alert->isVisible());
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        SCOPED_TRACE(vtRawValue(appearance).toStdString());
        test.app.setAppearance(appearance);
        settle();
        const QImage shown = alert->grab().toImage();
        EXPECT_EQ(groundColour(shown, shown.rect()).rgb(), windowColour(appearance));
        expectReadableTexts(*alert);
        saveScreenshot(*alert, QStringLiteral("error-alert"), appearance);
    }
}

// Opens a save panel through the application's file dialogs, looks at it while it is up, and cancels it.
void inspectSavePanel(const std::function<void()>& open, const std::function<void(QFileDialog&)>& inspect)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* panel = qobject_cast<QFileDialog*>(window);
            if (panel == nullptr || !panel->isVisible()) continue;
            seen = true;
            inspect(*panel);
            panel->reject();
        }
    });
    open();
    EXPECT_TRUE(seen);
}

TEST(StockDialogs, SavePanelsSpeakPortugueseAndFollowTheTheme)
{
    const QtTranslations translations;
    ASSERT_TRUE(translations.isInstalled()) << "Qt's pt_BR catalogue is missing: run scripts/setup";
    DialogApp test(VTAppearance::noite);
    FileDialogs dialogs;
    struct Row {
        const char* name;
        std::function<void(VTAppearance)> open;
    };
    const Row rows[] = {
        {"png-save-panel", [&](VTAppearance) { dialogs.choosePNGDestination(pngSavePanel("gato")); }},
        {"gif-save-panel",
         [&](VTAppearance appearance) {
             dialogs.chooseGIFDestination(gifSavePanel("gato"), 480, 3, GIFDialogContext{64, 48, true, appearance});
         }},
    };
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        test.app.setAppearance(appearance);
        for (const Row& row : rows) {
            SCOPED_TRACE(QStringLiteral("%1 %2").arg(QLatin1String(row.name), vtRawValue(appearance)).toStdString());
            inspectSavePanel(
                [&] { row.open(appearance); },
                [&](QFileDialog& panel) {
                    settle();
                    const auto* buttons = panel.findChild<QDialogButtonBox*>();
                    ASSERT_NE(buttons, nullptr);
                    QStringList texts;
                    for (const auto role : {QDialogButtonBox::AcceptRole, QDialogButtonBox::RejectRole})
                        for (const QAbstractButton* button : buttons->buttons())
                            if (buttons->buttonRole(const_cast<QAbstractButton*>(button)) == role)
                                texts << QString(button->text()).remove(QLatin1Char('&'));
                    EXPECT_EQ(texts, QStringList({"Salvar", "Cancelar"}));
                    EXPECT_EQ(
                        panel.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text().remove(QLatin1Char('&')),
                        "Nome do arquivo:");
                    const QImage shown = panel.grab().toImage();
                    const QRect buttonRow(buttons->mapTo(&panel, QPoint()), buttons->size());
                    EXPECT_EQ(groundColour(shown, buttonRow).rgb(), windowColour(appearance));
                    expectReadableTexts(panel);
                    saveScreenshot(panel, QLatin1String(row.name), appearance);
                });
        }
    }
}

TEST(StockDialogs, QtsOwnTextsArePortugueseOnlyWhileTheCatalogueIsInstalled)
{
    const char* const question = "%1 already exists.\nDo you want to replace it?";
    const auto overwriteQuestion = [question] { return QCoreApplication::translate("QFileDialog", question); };
    const QString english = QString::fromLatin1(question);
    {
        const QtTranslations missing(QDir::tempPath() + QStringLiteral("/no-such-translations-folder"));
        EXPECT_FALSE(missing.isInstalled());
        EXPECT_EQ(overwriteQuestion(), english);
    }
    {
        const QtTranslations translations;
        ASSERT_TRUE(translations.isInstalled());
        EXPECT_TRUE(overwriteQuestion().startsWith(QStringLiteral("%1 já existe.")))
            << overwriteQuestion().toStdString();
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancelar");
    }
    EXPECT_EQ(overwriteQuestion(), english) << "removed with its object";
}

// An editor window on test services showing a small picture, as the editor window tests show it: in `first`, then,
// once shown and after `beforeSwitch`, in `shown`.
QImage shownEditor(VTAppearance first, VTAppearance shown, const std::function<void()>& beforeSwitch = {})
{
    EditorTestServices fixture;
    fixture.sample = solidImage(64, 48, 30, 160, 90);
    EditorWindow window(fixture.services());
    vemiTerminal(&window, first);
    window.view().setAppearance(first);
    window.resize(1200, 760);
    window.show();
    QCoreApplication::processEvents();
    fixture.jobs->runAll();
    settle();
    if (beforeSwitch) beforeSwitch();
    vemiTerminal(&window, shown);
    window.view().setAppearance(shown);
    settle();
    return window.grab().toImage();
}

TEST(StockDialogs, TheStockLookLeavesTheEditorWindowAsItWas)
{
    const QPalette desktop = QApplication::palette();
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        SCOPED_TRACE(vtRawValue(appearance).toStdString());
        const QImage plain = shownEditor(appearance, appearance);
        const VTAppearance other = appearance == VTAppearance::noite ? VTAppearance::vemi : VTAppearance::noite;
        EXPECT_FALSE(shownEditor(other, other) == plain) << "the comparison sees a theme";
        {
            StockDialogLook look;
            look.apply(appearance);
            EXPECT_TRUE(shownEditor(appearance, appearance) == plain) << "made with the stock look on";
            look.apply(other);
            EXPECT_TRUE(shownEditor(other, appearance, [&] { look.apply(appearance); }) == plain)
                << "switched while open, in the application's order";
            look.apply(VTAppearance::system);
            EXPECT_EQ(QApplication::palette(), desktop) << "the system appearance leaves the desktop's palette";
        }
        EXPECT_EQ(QApplication::palette(), desktop) << "the desktop's palette comes back";
    }
}

}  // namespace
}  // namespace tilvane::testing
