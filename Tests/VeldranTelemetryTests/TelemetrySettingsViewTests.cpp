#include "TestSupport.hpp"

#include "TestSupport/ScopedEnvironment.hpp"
#include "TestSupport/TextContrast.hpp"

#include "VeldranTelemetry/FeedbackReport.hpp"
#include "VeldranTelemetry/PlatformDescription.hpp"
#include "VeldranTelemetry/Telemetry.hpp"
#include "VeldranTelemetry/TelemetryFeedbackView.hpp"
#include "VeldranTelemetry/TelemetrySettingsSection.hpp"
#include "VeldranTelemetry/TelemetrySettingsView.hpp"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <map>
#include <string>
#include <tuple>
#include <utility>

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

// Stands in for the desktop's mail client: keeps every mailto: address the application asks it to open.
class MailClient : public QObject {
    Q_OBJECT
public:
    MailClient() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open"); }
    ~MailClient() override { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }

    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

// The share button's menu, opened by pressing the button; throws when it does not show.
QMenu& openShareChoices(TelemetryFeedbackView& feedback)
{
    child<QPushButton>(feedback, "shareFeedback").click();
    auto& menu = child<QMenu>(feedback, "shareChoices");
    if (!menu.isVisible()) throw std::runtime_error("the share choices did not open");
    return menu;
}

// Clicks the named choice of the share menu, as the user would.
void chooseShare(TelemetryFeedbackView& feedback, const char* choice)
{
    QMenu& menu = openShareChoices(feedback);
    auto* action = menu.findChild<QAction*>(QLatin1String(choice));
    if (action == nullptr) throw std::runtime_error(std::string("no share choice named ") + choice);
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
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
                     "Copiado.", "Feedback do beta", "Não foi possível abrir o e-mail. Use Copiar."}));
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
    chooseShare(feedback, "copyFeedback");
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

TEST_F(TelemetrySettingsViewTest, SharingOpensAMenuOfTwoChoicesUnderTheButtonOnlyForAMessage)
{
    makeView(betaConfiguration());
    auto& feedback = openFeedback();
    auto& share = child<QPushButton>(feedback, "shareFeedback");
    auto& menu = child<QMenu>(feedback, "shareChoices");
    share.click();  // disabled while the message is empty
    EXPECT_FALSE(menu.isVisible());
    child<QPlainTextEdit>(feedback, "feedbackMessage").setPlainText("x");
    openShareChoices(feedback);
    QStringList choices;
    for (const QAction* action : menu.actions()) choices.append(action->text());
    EXPECT_EQ(choices, QStringList({"Copiar", "Enviar por e-mail…"}));
    EXPECT_EQ(menu.geometry().topLeft(), share.mapToGlobal(QPoint(0, share.height())));
    menu.close();
    EXPECT_TRUE(feedback.isVisible());
}

TEST_F(TelemetrySettingsViewTest, CopyPutsTheReportOnTheClipboardAndSaysSoUntilTheMessageChanges)
{
    makeView(betaConfiguration());
    auto& feedback = openFeedback();
    auto& message = child<QPlainTextEdit>(feedback, "feedbackMessage");
    auto& note = child<QLabel>(feedback, "copiedNote");
    message.setPlainText("a & b = c\n#1 + 100%");
    EXPECT_FALSE(note.isVisible());
    QApplication::clipboard()->setText("antes");
    chooseShare(feedback, "copyFeedback");
    EXPECT_EQ(QApplication::clipboard()->text(), feedback.report());
    EXPECT_TRUE(note.isVisible());
    EXPECT_EQ(note.text(), "Copiado.");
    EXPECT_TRUE(feedback.isVisible());
    message.insertPlainText("!");
    EXPECT_FALSE(note.isVisible());
}

// Reads a mailto: address as a mail client does: fields split at "&", names from values at the first "=", "+" read
// as a space, then percent-decoded.
std::map<QString, QString> mailFields(const QUrl& url)
{
    std::map<QString, QString> fields;
    const QByteArray query = url.toEncoded().mid(url.toEncoded().indexOf('?') + 1);
    for (QByteArray field : query.split('&')) {
        field.replace('+', ' ');
        const qsizetype equals = field.indexOf('=');
        fields[QUrl::fromPercentEncoding(field.left(equals))] = QUrl::fromPercentEncoding(field.mid(equals + 1));
    }
    return fields;
}

// The report with each line break as a mail body holds it (RFC 6068).
QString withMailLineBreaks(QString report)
{
    return report.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

TEST_F(TelemetrySettingsViewTest, MailHandsTheWholeReportToTheMailClientAsTheBody)
{
    makeView(betaConfiguration());
    auto& feedback = openFeedback();
    auto& message = child<QPlainTextEdit>(feedback, "feedbackMessage");
    const std::pair<const char*, QString> rows[] = {
        {"ampersand, equals and a line break", "preto & branco = ok\nsegunda linha"},
        {"plus, hash and percent", "1 + 1 #2 100% %20 %0A %0D%0A"},
        {"surrounding white space and accents", "  \n ação: ótima \r\n"},
        {"every reserved character and no-break spaces", QStringLiteral(":/?#[]@!$&'()*+,;=\u00a0fim\u00a0\n\u00a0")},
    };
    for (const auto& [name, typed] : rows) {
        SCOPED_TRACE(name);
        MailClient client;
        message.setPlainText(typed);
        chooseShare(feedback, "mailFeedback");
        ASSERT_EQ(client.opened.size(), 1);
        const QUrl& url = client.opened.front();
        EXPECT_EQ(url.scheme(), "mailto");
        EXPECT_TRUE(url.path().isEmpty());  // no recipient
        const QByteArray encoded = url.toEncoded();
        EXPECT_EQ(encoded.count("%0A"), encoded.count("%0D%0A")) << encoded.constData();
        const std::map<QString, QString> fields = mailFields(url);
        EXPECT_EQ(fields.size(), 1u);  // a body and no subject
        EXPECT_EQ(fields.count("body") == 1 ? fields.at("body") : QString(), withMailLineBreaks(feedback.report()));
        EXPECT_TRUE(feedback.isVisible());
        EXPECT_FALSE(child<QLabel>(feedback, "mailFailedNote").isVisible());
    }
}

// What the user types reaches the report character for character: a no-break space stays one, and the line break
// of Return or Shift+Return is a line feed.
TEST_F(TelemetrySettingsViewTest, TheReportKeepsEveryCharacterTyped)
{
    makeView(betaConfiguration());
    auto& feedback = openFeedback();
    auto& message = child<QPlainTextEdit>(feedback, "feedbackMessage");
    message.setFocus();
    QTest::keyClicks(&message, QStringLiteral("10\u00a0%"));
    QTest::keyClick(&message, Qt::Key_Return);
    QTest::keyClicks(&message, QStringLiteral("R$\u00a01"));
    QTest::keyClick(&message, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&message, QStringLiteral("fim "));
    EXPECT_TRUE(feedback.report().endsWith(QStringLiteral("\n\n10\u00a0%\nR$\u00a01\nfim ")))
        << feedback.report().toStdString();

    const std::tuple<const char*, QString, QString> rows[] = {
        {"paragraphs", QStringLiteral("a\u2029b"), QStringLiteral("a\nb")},
        {"lines", QStringLiteral("a\u2028b"), QStringLiteral("a\nb")},
        {"no-break and other spaces", QStringLiteral("\u00a0a\u2009b\u202f"), QStringLiteral("\u00a0a\u2009b\u202f")},
    };
    for (const auto& [name, raw, typed] : rows) EXPECT_EQ(typedText(raw), typed) << name;
}

// A desktop with nothing to open a mailto: address (no URL handler, no opener on an empty PATH): the sheet stays
// open and says so, until the message changes or a copy succeeds.
TEST_F(TelemetrySettingsViewTest, WithoutAMailClientTheSheetSaysToCopyInstead)
{
    const tilvane::testing::ScopedEnvironment noPrograms("PATH", std::string());
    makeView(betaConfiguration());
    auto& feedback = openFeedback();
    auto& message = child<QPlainTextEdit>(feedback, "feedbackMessage");
    auto& failed = child<QLabel>(feedback, "mailFailedNote");
    auto& copied = child<QLabel>(feedback, "copiedNote");
    message.setPlainText("nada abre");
    EXPECT_FALSE(failed.isVisible());

    chooseShare(feedback, "mailFeedback");
    EXPECT_TRUE(feedback.isVisible());
    EXPECT_TRUE(failed.isVisible());
    EXPECT_EQ(failed.text(), "Não foi possível abrir o e-mail. Use Copiar.");
    EXPECT_FALSE(copied.isVisible());

    chooseShare(feedback, "copyFeedback");
    EXPECT_TRUE(copied.isVisible());
    EXPECT_FALSE(failed.isVisible());
    chooseShare(feedback, "mailFeedback");
    EXPECT_TRUE(failed.isVisible());
    EXPECT_FALSE(copied.isVisible());
    message.insertPlainText("!");
    EXPECT_FALSE(failed.isVisible());
}

TEST_F(TelemetrySettingsViewTest, TabAndBacktabLeaveTheMessageWithoutTypingAnything)
{
    makeView(betaConfiguration());
    auto& feedback = openFeedback();
    auto& message = child<QPlainTextEdit>(feedback, "feedbackMessage");
    message.setPlainText("olá");
    const std::tuple<const char*, Qt::Key, Qt::KeyboardModifiers> rows[] = {
        {"Tab", Qt::Key_Tab, Qt::NoModifier},
        {"Backtab", Qt::Key_Backtab, Qt::ShiftModifier},
        {"Shift+Tab", Qt::Key_Tab, Qt::ShiftModifier},
    };
    for (const auto& [name, key, modifiers] : rows) {
        SCOPED_TRACE(name);
        message.setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(feedback.focusWidget(), &message);
        QTest::keyClick(&message, key, modifiers);
        EXPECT_NE(feedback.focusWidget(), &message);
        EXPECT_EQ(message.toPlainText(), "olá");
    }
}

// Tab goes through the sheet as it reads: the message, then "Cancelar" on the left, then the share button.
TEST_F(TelemetrySettingsViewTest, TabGoesFromTheMessageToCancelarAndThenToTheShareButton)
{
    makeView(betaConfiguration());
    auto& feedback = openFeedback();
    auto& message = child<QPlainTextEdit>(feedback, "feedbackMessage");
    message.setPlainText("olá");
    message.setFocus(Qt::TabFocusReason);
    QTest::keyClick(&message, Qt::Key_Tab);
    EXPECT_EQ(feedback.focusWidget(), &child<QPushButton>(feedback, "cancelFeedback"));
    QTest::keyClick(feedback.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(feedback.focusWidget(), &child<QPushButton>(feedback, "shareFeedback"));
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

#include "TelemetrySettingsViewTests.moc"
