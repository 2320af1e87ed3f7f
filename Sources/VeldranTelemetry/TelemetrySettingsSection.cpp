#include "VeldranTelemetry/TelemetrySettingsSection.hpp"

#include "VeldranTelemetry/Telemetry.hpp"
#include "VeldranTelemetry/TelemetryFeedbackView.hpp"
#include "VeldranTelemetry/TelemetryTextStyles.hpp"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace veldran {
namespace {

QLabel* secondCaption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    applyTextStyle(*label, TelemetryTextStyle::secondCaption);
    applySecondaryColour(*label);
    return label;
}

}  // namespace

TelemetrySettingsSection::TelemetrySettingsSection(Telemetry& telemetry, QString appName, const QString& neverSent,
                                                   QWidget* parent)
    : QWidget(parent),
      telemetry_(telemetry),
      appName_(std::move(appName)),
      usageSwitch_(new QCheckBox(tr("Compartilhar métricas de uso"), this)),
      diagnosticsSwitch_(new QCheckBox(tr("Compartilhar relatórios de falhas"), this)),
      diagnosticsNote_(secondCaption(QString(), this))
{
    auto* title = new QLabel(tr("Privacidade e beta"), this);
    applyTextStyle(*title, TelemetryTextStyle::caption);
    applySecondaryColour(*title);

    usageSwitch_->setObjectName(QStringLiteral("usageSwitch"));
    diagnosticsSwitch_->setObjectName(QStringLiteral("diagnosticsSwitch"));
    diagnosticsNote_->setObjectName(QStringLiteral("diagnosticsNote"));
    auto* neverSentNote = secondCaption(tr("As opções começam ligadas no beta e podem ser desativadas a qualquer "
                                           "momento. Não enviamos %1.")
                                            .arg(neverSent),
                                        this);
    neverSentNote->setObjectName(QStringLiteral("neverSentNote"));
    neverSentNote->setTextFormat(Qt::PlainText);
    auto* feedbackButton = new QPushButton(tr("Enviar feedback do beta…"), this);
    feedbackButton->setObjectName(QStringLiteral("feedbackButton"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(title);
    layout->addWidget(usageSwitch_);
    layout->addWidget(secondCaption(tr("Ajuda a entender quais recursos você usa e se volta ao aplicativo. Usa um "
                                       "identificador aleatório desta instalação, sem seu nome ou conta."),
                                    this));
    layout->addWidget(diagnosticsSwitch_);
    layout->addWidget(diagnosticsNote_);
    layout->addWidget(neverSentNote);
    layout->addWidget(feedbackButton, 0, Qt::AlignLeft);

    connect(usageSwitch_, &QCheckBox::toggled, this, [this](bool on) {
        telemetry_.setUsageEnabled(on);
        refresh();
    });
    connect(diagnosticsSwitch_, &QCheckBox::toggled, this, [this](bool on) {
        telemetry_.setDiagnosticsEnabled(on);
        refresh();
    });
    connect(&telemetry_, &Telemetry::usageEnabledChanged, this, &TelemetrySettingsSection::refresh);
    connect(&telemetry_, &Telemetry::diagnosticsEnabledChanged, this, &TelemetrySettingsSection::refresh);
    connect(feedbackButton, &QPushButton::clicked, this, &TelemetrySettingsSection::openFeedback);
    refresh();
}

void TelemetrySettingsSection::refresh()
{
    const QSignalBlocker usageBlocker(usageSwitch_);
    const QSignalBlocker diagnosticsBlocker(diagnosticsSwitch_);
    usageSwitch_->setChecked(telemetry_.usageEnabled());
    usageSwitch_->setEnabled(telemetry_.configuration().usageAvailable());
    diagnosticsSwitch_->setChecked(telemetry_.diagnosticsEnabled());
    const bool diagnosticsAvailable = telemetry_.configuration().diagnosticsAvailable();
    diagnosticsSwitch_->setEnabled(diagnosticsAvailable);
    diagnosticsNote_->setText(
        diagnosticsAvailable
            ? tr("Envia informações técnicas para investigar falhas. Você pode desligar cada opção a qualquer "
                 "momento.")
            : tr("Relatórios de falhas ainda não estão disponíveis nesta versão."));
}

// A fresh sheet each time, so the message starts empty; closing it discards it.
void TelemetrySettingsSection::openFeedback()
{
    telemetry_.feedbackOpened();
    if (feedback_) return;
    feedback_ = new TelemetryFeedbackView(telemetry_.configuration(), appName_, this);
    feedback_->setAttribute(Qt::WA_DeleteOnClose);
    feedback_->setWindowModality(Qt::WindowModal);
    feedback_->open();
}

}  // namespace veldran
