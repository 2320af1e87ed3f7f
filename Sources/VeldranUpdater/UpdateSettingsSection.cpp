#include "VeldranUpdater/UpdateSettingsSection.hpp"

#include "VeldranUpdater/AppUpdater.hpp"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

namespace veldran {
namespace {

constexpr int spacing = 8;

// A label in a smaller font, in the palette's secondary text colour.
QLabel* makeSecondaryLabel(const QString& text, qreal pointSizeFactor, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * pointSizeFactor);
    label->setFont(font);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

}  // namespace

UpdateSettingsSection::UpdateSettingsSection(AppUpdater& updater, QWidget* parent)
    : QWidget(parent),
      updater_(updater),
      automaticChecks_(new QCheckBox(QStringLiteral("Verificar atualizações automaticamente"), this)),
      note_(makeSecondaryLabel(QString(), 0.8, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(makeSecondaryLabel(QStringLiteral("Atualizações"), 0.9, this));
    layout->addWidget(automaticChecks_);
    // The note wraps at the width the section is given and takes the height of all its lines.
    note_->setWordWrap(true);
    layout->addWidget(note_);
    layout->addStretch();

    connect(automaticChecks_, &QCheckBox::toggled, &updater_, &AppUpdater::setAutomaticallyChecksForUpdates);
    connect(&updater_, &AppUpdater::automaticallyChecksForUpdatesChanged, this, &UpdateSettingsSection::refresh);
    connect(&updater_, &AppUpdater::isAvailableChanged, this, &UpdateSettingsSection::refresh);
    refresh();
}

void UpdateSettingsSection::refresh()
{
    automaticChecks_->setChecked(updater_.automaticallyChecksForUpdates());
    automaticChecks_->setEnabled(updater_.isAvailable());
    note_->setText(updater_.isAvailable()
                       ? QStringLiteral("Cada atualização só é baixada e instalada com a sua confirmação.")
                       : QStringLiteral("Atualizações automáticas não estão disponíveis nesta versão."));
}

}  // namespace veldran
