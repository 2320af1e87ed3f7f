#include "EditorTestServices.hpp"
#include "Tilvane/Views/ComparisonView.hpp"
#include "Tilvane/Views/EditorStage.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "Tilvane/Views/InspectorColumn.hpp"
#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

QString screenshotPath(const QString& name)
{
    QDir().mkpath(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor"));
    return QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Editor/") + name + QStringLiteral(".png");
}

// A shown editor window on its test services, started and with its jobs run.
struct ShownEditor {
    explicit ShownEditor(VTAppearance appearance = VTAppearance::noite)
    {
        fixture.sample = solidImage(64, 48, 30, 160, 90);
        window = new EditorWindow(fixture.services());
        vemiTerminal(window, appearance);
        window->view().setAppearance(appearance);
        window->resize(1200, 760);
        window->show();
        QCoreApplication::processEvents();
        fixture.jobs->runAll();
        QCoreApplication::processEvents();
    }
    ~ShownEditor() { delete window; }

    template <class Widget>
    Widget* child(const char* name) const
    {
        return window->findChild<Widget*>(QLatin1String(name));
    }

    EditorTestServices fixture;
    EditorWindow* window;
};

TEST(EditorWindow, LaysOutBarStageGalleryAndInspectorAroundTheSample)
{
    for (const auto appearance : {VTAppearance::noite, VTAppearance::vemi}) {
        ShownEditor editor(appearance);
        EXPECT_EQ(editor.window->minimumSize(), QSize(900, 620));
        ASSERT_NE(editor.child<QWidget>("navigationBar"), nullptr);
        ASSERT_NE(editor.child<ComparisonView>("comparison"), nullptr);
        ASSERT_NE(editor.child<QWidget>("gallery"), nullptr);
        auto* inspector = editor.child<InspectorColumn>("inspector");
        ASSERT_NE(inspector, nullptr);
        EXPECT_EQ(inspector->width(), 300);
        const auto* subtitle = editor.child<QWidget>("subtitle");
        ASSERT_NE(subtitle, nullptr);
        EXPECT_EQ(subtitle->accessibleName(), QStringLiteral("Exemplo Tilvane · 64 × 48 px"));
        EXPECT_TRUE(editor.child<VTButton>("exportPNGButton")->isEnabled());
        EXPECT_TRUE(editor.window->exportPNGAction()->isEnabled());
        EXPECT_TRUE(editor.window->exportGIFAction()->isEnabled());
        editor.window->grab().save(screenshotPath(QStringLiteral("window-sample-") + vtRawValue(appearance)));
    }
}

}  // namespace
}  // namespace tilvane::testing
