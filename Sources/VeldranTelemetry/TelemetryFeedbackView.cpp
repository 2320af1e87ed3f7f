#include "VeldranTelemetry/TelemetryFeedbackView.hpp"

#include "VeldranTelemetry/FeedbackReport.hpp"
#include "VeldranTelemetry/TelemetryTextStyles.hpp"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

namespace veldran {

TelemetryFeedbackView::TelemetryFeedbackView(TelemetryConfiguration configuration, QString appName, QWidget* parent)
    : QDialog(parent),
      configuration_(std::move(configuration)),
      appName_(std::move(appName)),
      message_(new QPlainTextEdit(this)),
      share_(new QPushButton(this)),
      shareChoices_(new QMenu(this)),
      copiedNote_(new QLabel(tr("Copiado."), this)),
      mailFailedNote_(new QLabel(tr("Não foi possível abrir o e-mail. Use Copiar."), this))
{
    setWindowTitle(tr("Feedback do beta"));
    setFixedWidth(440);

    auto* title = new QLabel(tr("Feedback do beta"), this);
    applyTextStyle(*title, TelemetryTextStyle::headline);
    auto* explanation = new QLabel(tr("Conte o que funcionou ou o que precisa melhorar. A versão do aplicativo e do "
                                      "sistema acompanham a mensagem; você escolhe como compartilhar."),
                                   this);
    explanation->setWordWrap(true);
    applyTextStyle(*explanation, TelemetryTextStyle::caption);
    applySecondaryColour(*explanation);

    message_->setObjectName(QStringLiteral("feedbackMessage"));
    message_->setAccessibleName(tr("Mensagem de feedback"));
    message_->setFixedHeight(140);
    // Tab and Backtab move on to the next or previous control, as in every other field of a form.
    message_->setTabChangesFocus(true);

    auto* cancel = new QPushButton(tr("Cancelar"), this);
    cancel->setObjectName(QStringLiteral("cancelFeedback"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    share_->setObjectName(QStringLiteral("shareFeedback"));
    share_->setText(tr("Compartilhar feedback"));
    share_->setIcon(QIcon::fromTheme(QStringLiteral("document-send"), style()->standardIcon(QStyle::SP_ArrowUp)));
    share_->setAutoDefault(false);
    share_->setEnabled(false);
    connect(share_, &QPushButton::clicked, this, &TelemetryFeedbackView::showShareChoices);

    shareChoices_->setObjectName(QStringLiteral("shareChoices"));
    QAction* copy = shareChoices_->addAction(tr("Copiar"), this, &TelemetryFeedbackView::copyReport);
    copy->setObjectName(QStringLiteral("copyFeedback"));
    QAction* mail = shareChoices_->addAction(tr("Enviar por e-mail…"), this, &TelemetryFeedbackView::mailReport);
    mail->setObjectName(QStringLiteral("mailFeedback"));

    copiedNote_->setObjectName(QStringLiteral("copiedNote"));
    applyTextStyle(*copiedNote_, TelemetryTextStyle::caption);
    applySecondaryColour(*copiedNote_);
    copiedNote_->hide();

    mailFailedNote_->setObjectName(QStringLiteral("mailFailedNote"));
    mailFailedNote_->setWordWrap(true);
    applyTextStyle(*mailFailedNote_, TelemetryTextStyle::caption);
    applySecondaryColour(*mailFailedNote_);
    mailFailedNote_->hide();

    connect(message_, &QPlainTextEdit::textChanged, this, [this] {
        share_->setEnabled(isShareableFeedback(message()));
        showNote(nullptr);
    });

    // Tab goes as the row reads: "Cancelar" on the left before the share button on the right.
    QWidget::setTabOrder(message_, cancel);
    QWidget::setTabOrder(cancel, share_);

    auto* row = new QHBoxLayout;
    row->addWidget(cancel);
    row->addStretch();
    row->addWidget(copiedNote_);
    row->addWidget(share_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(14);
    layout->addWidget(title);
    layout->addWidget(explanation);
    layout->addWidget(message_);
    layout->addLayout(row);
    layout->addWidget(mailFailedNote_);
}

QString TelemetryFeedbackView::report() const
{
    return feedbackReport(configuration_, appName_, message());
}

// The message exactly as typed: toPlainText() would turn a no-break space into a plain one.
QString TelemetryFeedbackView::message() const
{
    return typedText(message_->document()->toRawText());
}

void TelemetryFeedbackView::showNote(QLabel* note)
{
    copiedNote_->setVisible(note == copiedNote_);
    mailFailedNote_->setVisible(note == mailFailedNote_);
}

// This desktop has no share sheet: its choices open as a menu under the button.
void TelemetryFeedbackView::showShareChoices()
{
    if (!isShareableFeedback(message())) return;
    shareChoices_->popup(share_->mapToGlobal(QPoint(0, share_->height())));
}

void TelemetryFeedbackView::copyReport()
{
    QGuiApplication::clipboard()->setText(report());
    showNote(copiedNote_);
}

// Without a mail opener, or with an address longer than the desktop hands to one, nothing opens: the sheet says so.
void TelemetryFeedbackView::mailReport()
{
    const bool opened = QDesktopServices::openUrl(feedbackMailURL(report()));
    showNote(opened ? nullptr : mailFailedNote_);
}

}  // namespace veldran
