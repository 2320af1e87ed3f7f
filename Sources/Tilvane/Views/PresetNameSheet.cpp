#include "Tilvane/Views/PresetNameSheet.hpp"

#include "Tilvane/Views/PixelControls.hpp"

#include "VemiTerminal/Components/VTButton.hpp"
#include "VemiTerminal/Components/VTTextField.hpp"
#include "VemiTerminal/Components/VTWindow.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <utility>

namespace tilvane {

namespace {

constexpr int sheetWidth = 420;
constexpr int sheetPadding = 24;
constexpr int columnSpacing = 16;
constexpr int buttonSpacing = 8;

// The sheet's page ground, painted from the theme of the window it belongs to.
class SheetPage : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), vtTheme(this).bgPage);
    }
};

}  // namespace

PresetNameSheet::PresetNameSheet(const QString& title, const QString& name, SaveAction onSave, QWidget* parent)
    : QDialog(parent), onSave_(std::move(onSave))
{
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setFixedWidth(sheetWidth);

    auto* page = new SheetPage(this);
    auto* pageLayout = new QVBoxLayout(this);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(page);

    auto* window = new VTWindow(title, QStringLiteral("▢"));
    window->setActive(true);
    auto* windowLayout = new QVBoxLayout(page);
    windowLayout->setContentsMargins(sheetPadding, sheetPadding, sheetPadding, sheetPadding);
    windowLayout->addWidget(window);

    auto* column = new QWidget;
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->setSpacing(columnSpacing);
    columnLayout->addWidget(new PixelCaption(QStringLiteral("Nome Do Preset")));

    field_ = new VTTextField(QStringLiteral("Ex.: Meu CRT Âmbar"));
    field_->setObjectName(QStringLiteral("presetNameField"));
    field_->setAccessibleName(QStringLiteral("Nome do preset"));
    field_->setText(name);
    columnLayout->addWidget(field_);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(buttonSpacing);
    auto* cancelButton = new VTButton(QStringLiteral("Cancelar"), vtPixel);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    saveButton_ = new VTButton(QStringLiteral("Salvar"), vtPixel);
    saveButton_->setObjectName(QStringLiteral("saveButton"));
    buttons->addWidget(cancelButton);
    buttons->addStretch(1);
    buttons->addWidget(saveButton_);
    columnLayout->addLayout(buttons);
    window->setContent(column);

    // Return is handled once, by the sheet (the field passes it on), so one press saves once.
    connect(cancelButton, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(saveButton_, &QAbstractButton::clicked, this, &PresetNameSheet::save);
    connect(field_, &QLineEdit::textEdited, this, &PresetNameSheet::nameEdited);
    connect(field_, &QLineEdit::textChanged, this, &PresetNameSheet::followName);
    followName();
}

QString PresetNameSheet::name() const
{
    return field_->text();
}

void PresetNameSheet::setName(const QString& name)
{
    if (field_->text() != name) field_->setText(name);
}

bool PresetNameSheet::canSave() const
{
    return !field_->text().trimmed().isEmpty();
}

void PresetNameSheet::followName()
{
    saveButton_->setEnabled(canSave());
}

void PresetNameSheet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    field_->setFocus(Qt::OtherFocusReason);
}

void PresetNameSheet::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        save();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PresetNameSheet::save()
{
    if (!canSave()) return;
    if (onSave_ && onSave_()) accept();
}

}  // namespace tilvane
