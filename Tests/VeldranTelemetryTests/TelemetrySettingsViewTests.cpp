#include "RecordingBackends.hpp"
#include "TestSupport.hpp"

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

#include <gtest/gtest.h>

namespace veldran {
namespace {

using testing::betaConfiguration;
using testing::waitUntil;

const QString neverSent = QStringLiteral("suas imagens, nomes de arquivos ou gravações da tela");

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

    template <class Widget>
    Widget& find(const char* name) const
    {
        auto* widget = view->findChild<Widget*>(QLatin1String(name));
        if (widget == nullptr)
            throw std::runtime_error(std::string("no widget named ") + name);
        return *widget;
    }

    TelemetryFeedbackView& openFeedback()
    {
        find<QPushButton>("feedbackButton").click();
        auto* feedback = view->section().feedbackView();
        if (feedback == nullptr)
            throw std::runtime_error("the feedback sheet did not open");
        return *feedback;
    }

    static void type(TelemetryFeedbackView& feedback, const QString& text)
    {
        feedback.findChild<QPlainTextEdit*>(QStringLiteral("feedbackMessage"))->setPlainText(text);
    }

    static QPushButton& shareButton(TelemetryFeedbackView& feedback)
    {
        return *feedback.findChild<QPushButton*>(QStringLiteral("shareFeedback"));
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
    for (const char* name : {"usageSwitch", "diagnosticsSwitch"}) {
        EXPECT_FALSE(find<QCheckBox>(name).isEnabled()) << name;
        EXPECT_FALSE(find<QCheckBox>(name).isChecked()) << name;
    }
    EXPECT_EQ(find<QLabel>("diagnosticsNote").text(), "Relatórios de falhas ainda não estão disponíveis nesta versão.");
    EXPECT_EQ(find<QPushButton>("feedbackButton").text(), "Enviar feedback do beta…");
    EXPECT_TRUE(find<QPushButton>("feedbackButton").isEnabled());

    openFeedback();
    EXPECT_TRUE(view->section().feedbackView()->isVisible());
    EXPECT_TRUE(sent->batches.empty());
}

// The texts of every widget of that kind inside parent, sorted.
template <class Widget>
QStringList textsOf(const QWidget& parent)
{
    QStringList texts;
    for (const Widget* widget : parent.findChildren<Widget*>())
        texts.append(widget->text());
    texts.sort();
    return texts;
}

QStringList sorted(QStringList texts)
{
    texts.sort();
    return texts;
}

TEST_F(TelemetrySettingsViewTest, EveryTextOfTheSectionAndTheSheetReadsExactly)
{
    makeView(betaConfiguration());
    EXPECT_EQ(textsOf<QLabel>(view->section()),
        sorted({"Envia informações técnicas para investigar falhas. Você pode desligar cada opção a qualquer "
            "momento.",
            "Privacidade e beta",
            "As opções começam ligadas no beta e podem ser desativadas a qualquer momento. Não enviamos "
                + neverSent + ".",
            "Ajuda a entender quais recursos você usa e se volta ao aplicativo. Usa um identificador aleatório desta "
            "instalação, sem seu nome ou conta."}));
    EXPECT_EQ(textsOf<QCheckBox>(view->section()),
        sorted({"Compartilhar métricas de uso", "Compartilhar relatórios de falhas"}));

    auto& feedback = openFeedback();
    EXPECT_EQ(textsOf<QLabel>(feedback),
        sorted({"Feedback do beta",
            "Conte o que funcionou ou o que precisa melhorar. A versão do aplicativo e do sistema acompanham a "
            "mensagem; você escolhe como compartilhar."}));
    EXPECT_EQ(textsOf<QPushButton>(feedback), sorted({"Cancelar", "Compartilhar feedback"}));
    EXPECT_EQ(feedback.findChild<QPlainTextEdit*>(QStringLiteral("feedbackMessage"))->accessibleName(),
        "Mensagem de feedback");
}

TEST_F(TelemetrySettingsViewTest, SwitchesShowAndWriteTheConsents)
{
    makeView(betaConfiguration());
    auto& usage = find<QCheckBox>("usageSwitch");
    auto& diagnostics = find<QCheckBox>("diagnosticsSwitch");
    EXPECT_TRUE(usage.isEnabled() && usage.isChecked());
    EXPECT_TRUE(diagnostics.isEnabled() && diagnostics.isChecked());
    EXPECT_EQ(find<QLabel>("diagnosticsNote").text(),
        "Envia informações técnicas para investigar falhas. Você pode desligar cada opção a qualquer momento.");

    usage.click();
    EXPECT_FALSE(telemetry->usageEnabled());
    EXPECT_EQ(defaults.settings().value(Telemetry::usageConsentKey).toBool(), false);
    EXPECT_FALSE(usage.isChecked());

    diagnostics.click();
    EXPECT_FALSE(telemetry->diagnosticsEnabled());
    EXPECT_EQ(defaults.settings().value(Telemetry::diagnosticsConsentKey).toBool(), false);

    telemetry->setUsageEnabled(true);
    EXPECT_TRUE(usage.isChecked());
}

TEST_F(TelemetrySettingsViewTest, TheNeverSentPhraseIsInsertedUnchanged)
{
    makeView(betaConfiguration());
    EXPECT_EQ(find<QLabel>("neverSentNote").text(),
        "As opções começam ligadas no beta e podem ser desativadas a qualquer momento. Não enviamos " + neverSent
            + ".");
}

TEST_F(TelemetrySettingsViewTest, OpeningFeedbackSendsItsEventOnlyWithUsageOn)
{
    makeView(betaConfiguration());
    openFeedback().reject();
    ASSERT_FALSE(sent->batches.empty());
    EXPECT_EQ(sent->batches.back()["batch"][0]["event"], "tilvane_feedback_opened");

    telemetry->setUsageEnabled(false);
    const std::size_t before = sent->batches.size();
    ASSERT_TRUE(waitUntil([&] { return view->section().feedbackView() == nullptr; }));
    openFeedback();
    EXPECT_EQ(sent->batches.size(), before);
}

TEST_F(TelemetrySettingsViewTest, ShareNeedsAVisibleCharacterAndCopiesTheReportWithTheMessageAsTyped)
{
    makeView(betaConfiguration());
    auto& feedback = openFeedback();
    EXPECT_FALSE(shareButton(feedback).isEnabled());
    type(feedback, "  \n\t \n");
    EXPECT_FALSE(shareButton(feedback).isEnabled());
    type(feedback, "  ficou ótimo\n");
    ASSERT_TRUE(shareButton(feedback).isEnabled());

    QApplication::clipboard()->clear();
    shareButton(feedback).click();
    const QString expected = "Feedback do Tilvane\nVersão: 1.2.3 (45)\nLinux: " + QString::fromStdString(osVersion())
        + "\nArquitetura: " + QLatin1String(architectureName()) + "\n\n  ficou ótimo\n";
    EXPECT_EQ(QApplication::clipboard()->text(), expected);
    EXPECT_TRUE(feedback.isVisible());
}

TEST_F(TelemetrySettingsViewTest, CancelDiscardsTheMessageAndTheNextSheetStartsEmpty)
{
    makeView(betaConfiguration());
    auto& first = openFeedback();
    type(first, "rascunho");
    first.findChild<QPushButton*>(QStringLiteral("cancelFeedback"))->click();
    ASSERT_TRUE(waitUntil([&] { return view->section().feedbackView() == nullptr; }));

    auto& second = openFeedback();
    EXPECT_TRUE(second.findChild<QPlainTextEdit*>(QStringLiteral("feedbackMessage"))->toPlainText().isEmpty());
    EXPECT_FALSE(shareButton(second).isEnabled());
}

}  // namespace
}  // namespace veldran
