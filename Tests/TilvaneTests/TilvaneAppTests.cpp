#include "EditorTestServices.hpp"
#include "FocusRingSupport.hpp"
#include "Tilvane/App/TilvaneApp.hpp"
#include "Tilvane/Editor/EditorPresentation.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "TilvanePresets/Url.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace tilvane::testing {
namespace {

// An application on test services, with its own settings file.
struct TestApp {
    TestApp()
        : defaults(QString::fromStdString(fixture.file("settings.ini").string()), QSettings::IniFormat),
          app(AppEnvironment{
              .editorServices = [this] { return fixture.services(); },
              .launchFinished = [this] { ++launchesFinished; },
              .settingsContent = [] { return new QLabel(QStringLiteral("ajustes")); },
              .checkForUpdates =
                  [](QObject* parent) { return new QAction(QStringLiteral("Buscar atualizações…"), parent); },
              .defaults = &defaults,
              .exports = fixture.exports,
              .incoming = &fixture.incoming,
              .lifecycle = &fixture.lifecycle,
          })
    {
    }

    // Lets queued work run: the end of launching, window starts, loads and conversions.
    void settle()
    {
        for (int turn = 0; turn < 4; ++turn) {
            QCoreApplication::processEvents();
            fixture.jobs->runAll();
        }
    }

    std::filesystem::path imageFile(const std::string& name, int width = 20, int height = 10)
    {
        return writeImageFile(fixture.file(name), width, height);
    }

    static std::optional<std::filesystem::path> shown(EditorWindow* window) { return window->view().state().sourceURL; }

    EditorTestServices fixture;
    QSettings defaults;
    int launchesFinished = 0;
    TilvaneApp app;
};

TEST(TilvaneApp, FirstArgumentIsTheFileMadeAbsolute)
{
    const std::filesystem::path here = std::filesystem::current_path();
    struct Row {
        const char* name;
        std::vector<std::string> arguments;
        std::optional<std::filesystem::path> file;
    };
    const std::vector<Row> rows = {
        {"no argument", {}, std::nullopt},
        {"empty argument", {""}, std::nullopt},
        {"relative path", {"fotos/gato.png"}, here / "fotos/gato.png"},
        {"text before a colon is part of the name", {"shot-10:20.png"}, here / "shot-10:20.png"},
        {"a web address names no file", {"https://example.com/gato.png"}, std::nullopt},
        {"name that is not UTF-8", {"\xff\xfe.png"}, here / "\xff\xfe.png"},
        {"absolute path with dots, which only the system resolves", {"/tmp/a/../gato.png"}, "/tmp/a/../gato.png"},
        {"file URL", {"file:///tmp/gato%20preto.png"}, "/tmp/gato preto.png"},
        {"file URL in capitals on localhost", {"FILE://localhost/tmp/gato.png"}, "/tmp/gato.png"},
        {"file URL of bytes that are not UTF-8", {"file:///tmp/%FF%FE.png"}, "/tmp/\xff\xfe.png"},
        {"file URL of another machine is a name", {"file://servidor/gato.png"}, here / "file:/servidor/gato.png"},
        {"only the first counts", {"/tmp/um.png", "/tmp/dois.png"}, "/tmp/um.png"},
    };
    for (const auto& row : rows) {
        const auto file = TilvaneApp::fileArgument(row.arguments);
        EXPECT_EQ(file.has_value(), row.file.has_value()) << row.name;
        if (file && row.file) {
            EXPECT_EQ(file->native(), row.file->native()) << row.name;
        }
    }
}

TEST(TilvaneApp, AFileNamedWithBytesThatAreNotUTF8OpensAndItsNameShowsAsWellAsItCan)
{
    TestApp test;
    const auto file = test.fixture.file("foto-\xff\xfe.png");
    std::filesystem::rename(test.imageFile("foto.png"), file);  // Qt would write the name as UTF-8
    test.app.launch(TilvaneApp::fileArgument({file.native()}));
    test.settle();
    const ContentViewState& state = test.app.editorWindows().first()->view().state();
    EXPECT_EQ(state.errorMessage(), std::nullopt);
    ASSERT_TRUE(state.source);
    EXPECT_EQ(state.sourceURL, file);
    EXPECT_TRUE(editor_presentation::subtitle(state).startsWith(u"foto-\ufffd\ufffd.png · 20 × 10 px"_qs))
        << editor_presentation::subtitle(state).toStdString();
}

// Cut at its NUL byte, the name would be that of another file, "a".
TEST(TilvaneApp, AFileURLWithANulByteEndsInTheReadErrorAndOpensNoOtherFile)
{
    TestApp test;
    test.imageFile("a");
    test.app.launch(TilvaneApp::fileArgument({Url::file(test.fixture.file("a")).string() + "%00b.png"}));
    test.settle();
    const ContentViewState& state = test.app.editorWindows().first()->view().state();
    EXPECT_EQ(state.errorMessage(), "O arquivo selecionado não pôde ser lido como imagem.");
    EXPECT_EQ(state.sourceURL, std::nullopt) << "not the file \"a\": the sample, as a start without a file";
    EXPECT_EQ(state.sourceName, "Exemplo Tilvane");
}

TEST(TilvaneApp, FileOpenedDuringLaunchGoesToTheFirstWindowOnly)
{
    TestApp test;
    const auto file = test.imageFile("launch.png");
    test.app.launch(file);
    test.settle();
    ASSERT_EQ(test.app.editorWindows().size(), 1);
    EXPECT_EQ(TestApp::shown(test.app.editorWindows().first()), file);
    EXPECT_TRUE(test.app.didFinishLaunching());
    EXPECT_EQ(test.launchesFinished, 1);
    test.app.finishLaunching();
    EXPECT_EQ(test.launchesFinished, 1) << "telemetry and the updater start once";
}

TEST(TilvaneApp, OfTwoFilesReceivedBeforeAWindowTakesTheSlotOnlyTheSecondOpens)
{
    TestApp test;
    const auto first = test.imageFile("first.png");
    const auto second = test.imageFile("second.png");
    test.app.receiveFile(first);
    test.app.receiveFile(second);
    test.app.launch(std::nullopt);
    test.settle();
    ASSERT_EQ(test.app.editorWindows().size(), 1);
    EXPECT_EQ(TestApp::shown(test.app.editorWindows().first()), second);
    EXPECT_EQ(test.fixture.telemetry->events, (std::vector<RecordedEvent>{{TilvaneEvent::imageOpened}}));
}

TEST(TilvaneApp, FileAfterLaunchGoesToTheVisibleEditorOrANewWindow)
{
    struct Row {
        const char* name;
        bool editorHidden, settingsShown;
    };
    const Row rows[] = {
        {"visible editor", false, false}, {"nothing visible", true, false}, {"settings only", true, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestApp test;
        test.app.launch(std::nullopt);
        test.settle();
        EditorWindow* first = test.app.editorWindows().first();
        if (row.editorHidden) first->hide();
        if (row.settingsShown) {
            test.app.showSettings();
            ASSERT_TRUE(test.app.settingsDialog()->isVisible());
        }
        const auto file = test.imageFile("later.png");
        test.app.receiveFile(file);
        test.settle();
        const bool reused = !row.editorHidden;
        ASSERT_EQ(test.app.editorWindows().size(), reused ? 1 : 2);
        EditorWindow* opened = test.app.editorWindows().last();
        EXPECT_TRUE(opened->isVisible());
        EXPECT_EQ(TestApp::shown(opened), file);
        if (!reused) {
            EXPECT_NE(TestApp::shown(first), file);
        }
    }
}

TEST(TilvaneApp, LaunchWithoutAFileBringsAWindowForward)
{
    TestApp test;
    test.app.launch(std::nullopt);
    test.settle();
    test.app.bringForward();
    EXPECT_EQ(test.app.editorWindows().size(), 1);
    test.app.editorWindows().first()->hide();
    test.app.bringForward();
    test.settle();
    EXPECT_EQ(test.app.editorWindows().size(), 2);
}

TEST(TilvaneApp, ThemeHasTwoChoicesIsKeptAndReThemesEveryWindowAtOnce)
{
    TestApp test;
    EXPECT_EQ(test.app.appearance(), VTAppearance::noite) << "dark without a stored choice";
    test.app.launch(std::nullopt);
    EditorWindow* first = test.app.newWindow();
    EditorWindow* second = test.app.editorWindows().first();
    auto* themes = first->menuBar()->findChild<QMenu*>(QStringLiteral("themeMenu"));
    ASSERT_NE(themes, nullptr);
    QStringList titles;
    for (QAction* choice : themes->actions()) titles << choice->text();
    EXPECT_EQ(titles, (QStringList{u"Noite"_qs, u"Vemi"_qs}));
    EXPECT_TRUE(themes->actions().first()->actionGroup()->isExclusive());
    EXPECT_TRUE(themes->actions().first()->isChecked());

    themes->actions().last()->trigger();
    EXPECT_EQ(test.defaults.value(TilvaneApp::appearanceKey).toString(), u"vemi"_qs);
    for (EditorWindow* window : {first, second}) {
        EXPECT_EQ(VTThemeHost::of(window)->appearance(), VTAppearance::vemi);
        EXPECT_EQ(window->view().state().appearance, VTAppearance::vemi);
    }
    auto* otherThemes = second->menuBar()->findChild<QMenu*>(QStringLiteral("themeMenu"));
    EXPECT_TRUE(otherThemes->actions().last()->isChecked());

    second->view().toggleAppearance();  // the theme button, from Vemi
    EXPECT_EQ(test.app.appearance(), VTAppearance::noite);
    EXPECT_EQ(VTThemeHost::of(first)->appearance(), VTAppearance::noite);

    TestApp restarted;
    restarted.defaults.setValue(TilvaneApp::appearanceKey, u"vemi"_qs);
    EXPECT_EQ(
        TilvaneApp(AppEnvironment{.defaults = &restarted.defaults, .exports = restarted.fixture.exports}).appearance(),
        VTAppearance::vemi);
}

TEST(TilvaneApp, MenusInLinuxOrder)
{
    TestApp test;
    test.app.launch(std::nullopt);
    EditorWindow* window = test.app.editorWindows().first();
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions()) menus << menu->text();
    EXPECT_EQ(menus, (QStringList{u"&Arquivo"_qs, u"&Editar"_qs, u"E&xibir"_qs, u"Aj&uda"_qs}));

    struct Row {
        const char* objectName;
        QString title;
        QKeySequence shortcut;
        bool enabled;
    };
    const Row rows[] = {
        {"newWindowAction", u"Nova janela"_qs, QKeySequence(u"Ctrl+N"_qs), true},
        {"openAction", u"Abrir…"_qs, QKeySequence(u"Ctrl+O"_qs), true},
        {"exportPNGAction", u"Exportar PNG"_qs, QKeySequence(u"Ctrl+E"_qs), false},
        {"exportGIFAction", u"Exportar GIF"_qs, QKeySequence(u"Ctrl+G"_qs), false},
        {"closeAction", u"Fechar janela"_qs, QKeySequence(u"Ctrl+W"_qs), true},
        {"quitAction", u"Sair"_qs, QKeySequence(u"Ctrl+Q"_qs), true},
        {"settingsAction", u"Ajustes…"_qs, QKeySequence(u"Ctrl+,"_qs), true},
        {"aboutAction", u"Sobre o Tilvane"_qs, QKeySequence(), true},
    };
    for (const auto& row : rows) {
        auto* action = window->findChild<QAction*>(QLatin1String(row.objectName));
        ASSERT_NE(action, nullptr) << row.objectName;
        EXPECT_EQ(action->text(), row.title) << row.objectName;
        EXPECT_EQ(action->shortcut(), row.shortcut) << row.objectName;
        EXPECT_EQ(action->isEnabled(), row.enabled) << row.objectName;
    }
    QMenu* help = window->menuBar()->actions().last()->menu();
    ASSERT_EQ(help->actions().size(), 2);
    EXPECT_EQ(help->actions().last()->text(), u"Buscar atualizações…"_qs);

    window->findChild<QAction*>(QStringLiteral("newWindowAction"))->trigger();
    EXPECT_EQ(test.app.editorWindows().size(), 2);
}

// Alt and the underlined letter of a menu's title opens that menu, as in the desktop's other applications: the
// letters differ along the bar and the titles read as they did.
TEST(TilvaneApp, AltAndTheLetterOfEachMenuTitleOpensThatMenu)
{
    TestApp test;
    test.app.launch(std::nullopt);
    test.settle();
    EditorWindow* window = test.app.editorWindows().first();
    activate(*window);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    struct Row {
        QString title;
        Qt::Key letter;
    };
    const Row rows[] = {
        {u"Arquivo"_qs, Qt::Key_A}, {u"Editar"_qs, Qt::Key_E}, {u"Exibir"_qs, Qt::Key_X}, {u"Ajuda"_qs, Qt::Key_U}};
    const QList<QAction*> menus = window->menuBar()->actions();
    ASSERT_EQ(menus.size(), std::size(rows));
    for (std::size_t index = 0; index < std::size(rows); ++index) {
        const Row& row = rows[index];
        QAction* menu = menus[static_cast<qsizetype>(index)];
        SCOPED_TRACE(row.title.toStdString());
        EXPECT_EQ(QString(menu->text()).remove(u'&'), row.title);
        EXPECT_EQ(QKeySequence::mnemonic(menu->text()), QKeySequence(Qt::ALT | row.letter));
        ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : window, row.letter,
                        Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == menu->menu(); }))
            << "Alt+" << QKeySequence(row.letter).toString().toStdString() << " opened "
            << describe(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
    }
}

// A key as the desktop delivers it: to the open menu while there is one, else to the focus widget.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget* target = QApplication::activePopupWidget();
    if (target == nullptr) target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
}

// Whether the bar shows which title the keyboard is on: most of that title's place in the highlight colour.
::testing::AssertionResult titleHighlighted(QMenuBar& bar)
{
    QAction* title = bar.activeAction();
    if (title == nullptr) return ::testing::AssertionFailure() << "no title is current";
    const QRect place = bar.actionGeometry(title);
    const QImage picture = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb highlight = bar.palette().color(QPalette::Highlight).rgb();
    int highlighted = 0;
    for (int y = place.top(); y <= place.bottom(); ++y)
        for (int x = place.left(); x <= place.right(); ++x) highlighted += picture.pixel(x, y) == highlight ? 1 : 0;
    if (highlighted * 2 > place.width() * place.height()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << QString(title->text()).remove(u'&').toStdString() << " is not highlighted";
}

// Alt and a menu's letter gives the menu bar the keyboard; Escape out of the menu leaves the bar holding it, its
// title highlighted; the next Escape, Tab or Backtab, or a command chosen, gives the focus back to the control that
// had it, with its ring, and Tab or Backtab goes on from there, however many menus were opened on the way.
TEST(TilvaneApp, TheMenuBarShowsWhileItHoldsTheKeyboardAndGivesTheFocusBackWhenItLetsGo)
{
    struct Press {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers = {};
    };
    enum class EndsOn { start, next, previous };
    struct Row {
        const char* name;
        std::vector<Press> presses;
        EndsOn endsOn;
    };
    const Press altA{Qt::Key_A, Qt::AltModifier}, altE{Qt::Key_E, Qt::AltModifier}, escape{Qt::Key_Escape};
    const Row rows[] = {
        {"Alt+A, Escape, Escape", {altA, escape, escape}, EndsOn::start},
        {"Alt+A, Escape, Alt+E, Escape, Escape", {altA, escape, altE, escape, escape}, EndsOn::start},
        {"Alt+A, Escape, Tab", {altA, escape, {Qt::Key_Tab}}, EndsOn::next},
        {"Alt+A, Escape, Backtab", {altA, escape, {Qt::Key_Backtab, Qt::ShiftModifier}}, EndsOn::previous},
        // Last: the command chosen sets the theme.
        {"Alt+A, Escape, Alt+X, then Tema ▸ Noite with Return",
         {altA, escape, {Qt::Key_X, Qt::AltModifier}, {Qt::Key_Return}, {Qt::Key_Return}},
         EndsOn::start},
    };
    const std::pair<const char*, VTAppearance> themes[] = {{"noite", VTAppearance::noite},
                                                           {"vemi", VTAppearance::vemi}};
    for (const auto& [themeName, appearance] : themes) {
        TestApp test;
        test.app.setAppearance(appearance);
        test.app.launch(std::nullopt);
        test.settle();
        EditorWindow* window = test.app.editorWindows().first();
        activate(*window);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        QMenuBar& bar = *window->menuBar();
        QWidget* start = window->findChild<QWidget*>(QStringLiteral("pixelSizeSlider"));
        ASSERT_NE(start, nullptr);
        // Where Tab and Backtab go from there without the menus.
        start->setFocus(Qt::TabFocusReason);
        pressKey(Qt::Key_Tab);
        QWidget* next = QApplication::focusWidget();
        start->setFocus(Qt::TabFocusReason);
        pressKey(Qt::Key_Backtab, Qt::ShiftModifier);
        QWidget* previous = QApplication::focusWidget();
        ASSERT_NE(next, start);
        ASSERT_NE(previous, start);

        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + ", " + themeName);
            start->setFocus(Qt::TabFocusReason);
            for (std::size_t index = 0; index < row.presses.size(); ++index) {
                const bool menuWasOpen = QApplication::activePopupWidget() != nullptr;
                pressKey(row.presses[index].key, row.presses[index].modifiers);
                QCoreApplication::processEvents();
                if (menuWasOpen && row.presses[index].key == Qt::Key_Escape) {
                    EXPECT_EQ(QApplication::focusWidget(), &bar) << "the bar holds the keyboard";
                    EXPECT_TRUE(titleHighlighted(bar)) << "after press " << index + 1;
                    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Focus"));
                    bar.grab().save(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Focus/menu-bar-held-%1.png")
                                        .arg(QLatin1String(themeName)));
                }
            }
            QWidget* const expected = row.endsOn == EndsOn::start  ? start
                                      : row.endsOn == EndsOn::next ? next
                                                                   : previous;
            QWidget* focus = QApplication::focusWidget();
            ASSERT_EQ(focus, expected) << describe(focus);
            EXPECT_EQ(bar.activeAction(), nullptr) << "the bar let go";
            EXPECT_TRUE(showsRing(focus->grab().toImage().convertToFormat(QImage::Format_RGB32), *focusRingOf(*focus)))
                << describe(focus);
            if (row.endsOn == EndsOn::start) {
                pressKey(Qt::Key_Tab);
                EXPECT_EQ(QApplication::focusWidget(), next) << describe(QApplication::focusWidget());
            }
        }
    }
}

TEST(TilvaneApp, ClosingTheLastWindowQuitsAndKeepsTheSessionButClosingOneOfTwoDoesNot)
{
    for (const bool secondWindow : {false, true}) {
        SCOPED_TRACE(secondWindow ? "one of two" : "the last");
        TestApp test;
        const auto file = test.imageFile("kept.png");
        test.app.launch(file);
        test.settle();
        ASSERT_TRUE(std::filesystem::exists(test.fixture.sessionFile()));
        if (secondWindow) test.app.newWindow();
        test.settle();
        test.app.editorWindows().first()->close();
        test.settle();
        EXPECT_EQ(test.fixture.lifecycle.isTerminating(), !secondWindow);
        EXPECT_EQ(std::filesystem::exists(test.fixture.sessionFile()), !secondWindow);
        if (!secondWindow) {
            EXPECT_EQ(LastSessionStore(test.fixture.sessionFile()).load()->imageURL.path(), file);
        }
    }
}

TEST(TilvaneApp, QuitMarksTerminatingBeforeAnyWindowGoes)
{
    TestApp test;
    test.app.launch(test.imageFile("quit.png"));
    test.settle();
    EditorWindow* window = test.app.editorWindows().first();
    bool terminatingWhenClosing = false;
    QObject::connect(window, &EditorWindow::aboutToClose,
                     [&] { terminatingWhenClosing = test.fixture.lifecycle.isTerminating(); });
    window->findChild<QAction*>(QStringLiteral("quitAction"))->trigger();
    EXPECT_TRUE(terminatingWhenClosing);
    EXPECT_TRUE(std::filesystem::exists(test.fixture.sessionFile()));
}

// The visible alerts titled as a failure is.
std::vector<QMessageBox*> failureAlerts()
{
    std::vector<QMessageBox*> alerts;
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* alert = qobject_cast<QMessageBox*>(widget);
        if (alert && alert->isVisible() && alert->windowTitle() == u"Não foi possível concluir"_qs) {
            alerts.push_back(alert);
        }
    }
    return alerts;
}

TEST(TilvaneApp, TheFailedExportOfAClosedWindowIsToldOverARemainingWindow)
{
    enum class Then { closeIt, minimizeTheOtherAndCloseIt, quit };
    struct Row {
        const char* name;
        Then then;
        bool told;
        bool overTheOther;
    };
    const Row rows[] = {
        {"over the remaining window", Then::closeIt, true, true},
        {"on its own when no window is visible", Then::minimizeTheOtherAndCloseIt, true, false},
        {"nothing while quitting", Then::quit, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestApp test;
        test.app.launch(test.imageFile("foto.png"));
        test.settle();
        EditorWindow* other = test.app.newWindow();
        test.settle();
        QPointer<EditorWindow> exporting = test.app.editorWindows().first();
        test.fixture.dialogs->pngDestination = test.fixture.file("gone") / "foto-tilvane.png";
        exporting->view().exportPNG();
        ASSERT_TRUE(exporting->view().state().isExporting);
        if (row.then == Then::minimizeTheOtherAndCloseIt) other->showMinimized();
        row.then == Then::quit ? test.app.quit() : static_cast<void>(exporting->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(exporting.isNull());
        test.settle();  // the export fails here

        const auto alerts = failureAlerts();
        ASSERT_EQ(alerts.size(), row.told ? 1u : 0u);
        if (!row.told) continue;
        QMessageBox* alert = alerts.front();
        EXPECT_EQ(alert->text(), u"Não foi possível concluir"_qs);
        EXPECT_EQ(alert->informativeText(), u"Não foi possível salvar o PNG."_qs);
        ASSERT_EQ(alert->buttons().size(), 1);
        EXPECT_EQ(alert->buttons().front()->text(), u"OK"_qs);
        EXPECT_EQ(alert->parentWidget(), row.overTheOther ? other : nullptr);
        EXPECT_EQ(other->view().state().errorMessage(), std::nullopt) << "the other window's own state is untouched";
        alert->buttons().front()->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(failureAlerts().empty()) << "OK puts it away";
    }
}

// The user closes the only window while its export runs: the process stays (without a window) until the export has
// written its file, then quits; a failure is told first and waits to be read; a file handed over meanwhile opens a
// window and the application goes on.
TEST(TilvaneApp, ClosingTheOnlyWindowDuringAnExportQuitsOnceTheExportHasEnded)
{
    enum class Meanwhile { nothing, theExportFails, aFileIsHandedOver };
    struct Row {
        const char* name;
        Meanwhile meanwhile;
    };
    const Row rows[] = {
        {"the file is written, then the application quits", Meanwhile::nothing},
        {"a failure is told, and the application quits once it is read", Meanwhile::theExportFails},
        {"a file handed over opens a window, and the application goes on", Meanwhile::aFileIsHandedOver},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestApp test;
        const auto picture = test.imageFile("foto.png");
        test.app.launch(picture);
        test.settle();
        QSignalSpy quits(&test.app, &TilvaneApp::quitStarted);
        const auto folder =
            row.meanwhile == Meanwhile::theExportFails ? test.fixture.file("gone") : test.fixture.folder.path();
        const auto target = folder / "foto-tilvane.png";
        test.fixture.dialogs->pngDestination = target;
        test.app.editorWindows().first()->view().exportPNG();
        test.app.editorWindows().first()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        EXPECT_TRUE(test.app.editorWindows().isEmpty());
        EXPECT_EQ(quits.count(), 0) << "gone before the export ran";
        if (row.meanwhile == Meanwhile::aFileIsHandedOver) test.app.receiveFile(test.imageFile("outra.png"));

        test.settle();  // the export runs and ends
        switch (row.meanwhile) {
        case Meanwhile::nothing:
            EXPECT_TRUE(std::filesystem::exists(target));
            EXPECT_EQ(quits.count(), 1);
            EXPECT_EQ(LastSessionStore(test.fixture.sessionFile()).load()->imageURL.path(), picture)
                << "the session of the last window is kept";
            break;
        case Meanwhile::theExportFails: {
            EXPECT_EQ(quits.count(), 0) << "not before the failure is read";
            const auto alerts = failureAlerts();
            ASSERT_EQ(alerts.size(), 1u);
            EXPECT_EQ(alerts.front()->informativeText(), u"Não foi possível salvar o PNG."_qs);
            EXPECT_EQ(alerts.front()->parentWidget(), nullptr) << "an alert of its own";
            alerts.front()->buttons().front()->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            EXPECT_EQ(quits.count(), 1);
            break;
        }
        case Meanwhile::aFileIsHandedOver:
            EXPECT_TRUE(std::filesystem::exists(target));
            ASSERT_EQ(test.app.editorWindows().size(), 1);
            EXPECT_EQ(TestApp::shown(test.app.editorWindows().first()), test.fixture.file("outra.png"));
            EXPECT_FALSE(test.fixture.lifecycle.isTerminating());
            EXPECT_EQ(quits.count(), 0);
            break;
        }
    }
}

// The hand-over stops taking files on this signal: none may arrive while the windows keep their sessions.
TEST(TilvaneApp, QuittingIsAnnouncedOnceBeforeAnyWindowCloses)
{
    TestApp test;
    test.app.launch(std::nullopt);
    test.settle();
    QSignalSpy started(&test.app, &TilvaneApp::quitStarted);
    qsizetype announcedWhenClosing = -1;
    QObject::connect(test.app.editorWindows().first(), &EditorWindow::aboutToClose,
                     [&] { announcedWhenClosing = started.size(); });
    test.app.quit();
    test.app.quit();
    EXPECT_EQ(announcedWhenClosing, 1);
    EXPECT_EQ(started.size(), 1);
}

// SIGTERM, a logout or Ctrl+Q quit through TilvaneApp::quit; the window may also be closed from elsewhere. Either way,
// arriving while one of the window's dialogs waits, the application ends as a quit without a dialog does: the session
// of the picture shown is kept, and what the dialog then answers is not acted on.
TEST(TilvaneApp, QuittingWhileADialogWaitsKeepsTheSessionAndActsOnNothing)
{
    enum class Dialog { gif, open };
    enum class End { quit, closeTheWindow };
    struct Row {
        const char* name;
        Dialog dialog;
        End end;
    };
    const Row rows[] = {
        {"quit during the GIF dialog", Dialog::gif, End::quit},
        {"quit during the open dialog", Dialog::open, End::quit},
        {"the window closed during the GIF dialog", Dialog::gif, End::closeTheWindow},
        {"the window closed during the open dialog", Dialog::open, End::closeTheWindow},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestApp test;
        const auto picture = test.imageFile("foto.png", 30, 10);
        test.app.launch(picture);
        test.settle();
        QSignalSpy quits(&test.app, &TilvaneApp::quitStarted);
        QPointer<EditorWindow> window = test.app.editorWindows().first();
        const auto gif = test.fixture.file("foto-tilvane.gif");
        test.fixture.dialogs->gifDestination = GIFDestination{gif, 512, 1};
        test.fixture.dialogs->imageToOpen = test.imageFile("outra.png", 10, 30);
        test.fixture.dialogs->meanwhile = [&] {
            row.end == End::quit ? test.app.quit() : static_cast<void>(window->close());
        };

        row.dialog == Dialog::gif ? window->view().exportGIF() : window->view().openImage();
        test.fixture.dialogs->meanwhile = nullptr;
        test.settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        EXPECT_EQ(quits.count(), 1);
        EXPECT_TRUE(window.isNull());
        EXPECT_FALSE(std::filesystem::exists(gif));
        EXPECT_TRUE(std::ranges::none_of(test.fixture.telemetry->events, [](const RecordedEvent& event) {
            return event.format.has_value();
        })) << "no export began";
        const auto session = LastSessionStore(test.fixture.sessionFile()).load();
        ASSERT_TRUE(session.has_value());
        EXPECT_EQ(session->imageURL.path(), picture);
    }
}

// "Sobre o Tilvane" is shown without waiting for it, so a quit while it is up goes as any other.
TEST(TilvaneApp, TheAboutBoxDoesNotWait)
{
    TestApp test;
    test.app.launch(test.imageFile("foto.png"));
    test.settle();
    QPointer<EditorWindow> window = test.app.editorWindows().first();
    QApplication::setActiveWindow(window);
    window->findChild<QAction*>(QStringLiteral("aboutAction"))->trigger();
    QPointer<QMessageBox> about = window->findChild<QMessageBox*>(QStringLiteral("aboutBox"));
    ASSERT_FALSE(about.isNull()) << "the trigger came back while the box is up";
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), u"Sobre o Tilvane"_qs);
    EXPECT_EQ(about->text(), u"Tilvane "_qs + QCoreApplication::applicationVersion());

    test.app.quit();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(about.isNull()) << "it goes with its window";
    EXPECT_TRUE(std::filesystem::exists(test.fixture.sessionFile()));
}

}  // namespace
}  // namespace tilvane::testing
