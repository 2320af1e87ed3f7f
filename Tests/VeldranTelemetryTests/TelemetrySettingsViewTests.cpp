#include "TestSupport.hpp"

#include "TestSupport/TextContrast.hpp"

#include "VeldranTelemetry/PlatformDescription.hpp"
#include "VeldranTelemetry/Telemetry.hpp"
#include "VeldranTelemetry/TelemetryFeedbackView.hpp"
#include "VeldranTelemetry/TelemetrySettingsSection.hpp"
#include "VeldranTelemetry/TelemetrySettingsView.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace veldran {
namespace {

using namespace testing;

const QString neverSent = QStringLiteral("suas imagens, nomes de arquivos ou gravações da tela");

// The named child of parent; throws when there is none, so that a missing widget fails the test.
template <class Widget>
Widget& child(const QWidget& parent, const char* name)
{
    auto* widget = parent.findChild<Widget*>(QLatin1String(name));
    if (widget == nullptr) throw std::runtime_error(std::string("no widget named ") + name);
    return *widget;
}

// The texts of every widget of that kind inside parent, sorted.
template <class Widget>
QStringList textsOf(const QWidget& parent)
{
    QStringList texts;
    for (const Widget* widget : parent.findChildren<Widget*>()) texts.append(widget->text());
    texts.sort();
    return texts;
}

class TelemetrySettingsViewTest : public ::testing::Test {
protected:
    void makeView(TelemetryConfiguration configuration)
    {
        auto transport = std::make_unique<testing::RecordingTransport>();
        sent = transport.get();
        telemetry = std::make_unique<Telemetry>(std::move(configuration), defaults.settings(), std::move(transport),
                                                std::make_unique<testing::RecordingDiagnostics>());
        view = std::make_unique<TelemetrySettingsView>(*telemetry, QStringLiteral("Tilvane"), neverSent);
        view->show();
    }

    TelemetryFeedbackView& openFeedback()
    {
        child<QPushButton>(*view, "feedbackButton").click();
        if (view->section().feedbackView() == nullptr) throw std::runtime_error("the feedback sheet did not open");
        return *view->section().feedbackView();
    }

    testing::TemporarySettings defaults;
    testing::RecordingTransport* sent = nullptr;
    std::unique_ptr<Telemetry> telemetry;
    std::unique_ptr<TelemetrySettingsView> view;
};

TEST_F(TelemetrySettingsViewTest, ABuildWithoutTelemetryDisablesBothSwitchesButStillOffersFeedback)
{
    auto development = betaConfiguration();
    development.environment = "development";
    makeView(development);
    EXPECT_EQ(view->width(), 430);
    for (const char* name : {"usageSwitch", "diagnosticsSwitch"})
        EXPECT_FALSE(child<QCheckBox>(*view, name).isEnabled() || child<QCheckBox>(*view, name).isChecked()) << name;
    EXPECT_EQ(child<QLabel>(*view, "diagnosticsNote").text(),
              "Relatórios de falhas ainda não estão disponíveis nesta versão.");
    EXPECT_EQ(child<QPushButton>(*view, "feedbackButton").text(), "Enviar feedback do beta…");
    EXPECT_TRUE(openFeedback().isVisible());
    EXPECT_TRUE(sent->batches.empty());
}

TEST_F(TelemetrySettingsViewTest, EveryTextOfTheSectionAndTheSheetReadsExactly)
{
    makeView(betaConfiguration());
    EXPECT_EQ(
        textsOf<QLabel>(view->section()),
        QStringList(
            {"Ajuda a entender quais recursos você usa e se volta ao aplicativo. Usa um identificador "
             "aleatório desta instalação, sem seu nome ou conta.",
             "As opções começam ligadas no beta e podem ser desativadas a qualquer momento. Não enviamos " + neverSent
                 + ".",
             "Envia informações técnicas para investigar falhas. Você pode desligar cada opção a qualquer momento.",
             "Privacidade e beta"}));
    EXPECT_EQ(textsOf<QCheckBox>(view->section()),
              QStringList({"Compartilhar métricas de uso", "Compartilhar relatórios de falhas"}));
    auto& feedback = openFeedback();
    EXPECT_EQ(
        textsOf<QLabel>(feedback),
        QStringList({"Conte o que funcionou ou o que precisa melhorar. A versão do aplicativo e do sistema acompanham "
                     "a mensagem; você escolhe como compartilhar.",
                     "Feedback do beta"}));
    EXPECT_EQ(textsOf<QPushButton>(feedback), QStringList({"Cancelar", "Compartilhar feedback"}));
    EXPECT_EQ(child<QPlainTextEdit>(feedback, "feedbackMessage").accessibleName(), "Mensagem de feedback");
}

// The switches show and write the consents; the sheet shares the report as typed, and cancel discards it.
TEST_F(TelemetrySettingsViewTest, SwitchesWriteTheConsentsAndFeedbackIsSharedAsTyped)
{
    makeView(betaConfiguration());
    auto& feedback = openFeedback();
    EXPECT_EQ(sent->batches.back()["batch"][0]["event"], "tilvane_feedback_opened");
    auto& usage = child<QCheckBox>(*view, "usageSwitch");
    auto& diagnostics = child<QCheckBox>(*view, "diagnosticsSwitch");
    EXPECT_TRUE(usage.isEnabled() && usage.isChecked() && diagnostics.isEnabled() && diagnostics.isChecked());
    usage.click();
    diagnostics.click();
    EXPECT_FALSE(telemetry->usageEnabled() || telemetry->diagnosticsEnabled() || usage.isChecked());
    telemetry->setUsageEnabled(true);
    EXPECT_TRUE(usage.isChecked());
    auto& share = child<QPushButton>(feedback, "shareFeedback");
    auto& message = child<QPlainTextEdit>(feedback, "feedbackMessage");
    message.setPlainText("  \n\t \n");
    EXPECT_FALSE(share.isEnabled());
    message.setPlainText("  ficou ótimo\n");
    ASSERT_TRUE(share.isEnabled());
    QApplication::clipboard()->clear();
    share.click();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Feedback do Tilvane\nVersão: 1.2.3 (45)\nLinux: " + QString::fromStdString(osVersion())
                  + "\nArquitetura: " + architectureName() + "\n\n  ficou ótimo\n");
    EXPECT_TRUE(feedback.isVisible());
    child<QPushButton>(feedback, "cancelFeedback").click();
    ASSERT_TRUE(waitUntil([&] { return view->section().feedbackView() == nullptr; }));

    // With usage off the sheet opens without its event, and empty.
    telemetry->setUsageEnabled(false);
    const std::size_t before = sent->batches.size();
    auto& second = openFeedback();
    EXPECT_EQ(sent->batches.size(), before);
    EXPECT_TRUE(child<QPlainTextEdit>(second, "feedbackMessage").toPlainText().isEmpty());
    EXPECT_FALSE(child<QPushButton>(second, "shareFeedback").isEnabled());
}

// The secondary texts take their colour from the palette the view is shown with, also when it changes while the view
// is open, so they stay readable on a dark window as on a light one.
TEST_F(TelemetrySettingsViewTest, SecondaryTextsFollowThePaletteOfTheirWindowLive)
{
    makeView(betaConfiguration());
    struct Row {
        const char* name;
        QColor window, text, secondary;
    };
    const Row rows[] = {
        {"dark", QColor(18, 18, 18), QColor(243, 238, 240), QColor(243, 238, 240, 204)},
        {"light", QColor(254, 254, 254), QColor(30, 30, 30), QColor(30, 30, 30, 219)},
        {"dark again", QColor(26, 26, 26), QColor(222, 222, 222), QColor(222, 222, 222, 204)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QPalette palette = view->palette();
        palette.setColor(QPalette::Window, row.window);
        palette.setColor(QPalette::WindowText, row.text);
        palette.setColor(QPalette::PlaceholderText, row.secondary);
        view->setPalette(palette);
        const QImage shown = view->grab().toImage();
        const auto labels = view->section().findChildren<QLabel*>();
        ASSERT_EQ(labels.size(), 4);
        for (const QLabel* label : labels) {
            const QRect area(label->mapTo(view.get(), QPoint()), label->size());
            EXPECT_GE(tilvane::testing::textContrast(shown, area), 4.5) << label->text().toStdString();
        }
    }
}

}  // namespace
}  // namespace veldran
