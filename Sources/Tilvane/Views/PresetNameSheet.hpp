#pragma once

#include <QDialog>
#include <functional>

class VTButton;
class VTTextField;

namespace tilvane {

// The window-modal sheet in which a personal preset is named: a caption, one field and "Cancelar" / "Salvar".
// It closes only when `onSave` accepts; the name is handed on exactly as typed (trimming is the caller's).
class PresetNameSheet : public QDialog {
    Q_OBJECT
public:
    // Returns true when the preset was stored and the sheet may close.
    using SaveAction = std::function<bool()>;

    PresetNameSheet(const QString& title, const QString& name, SaveAction onSave, QWidget* parent = nullptr);

    QString name() const;
    void setName(const QString& name);
    // A name that is not blank once white space and line breaks are trimmed from both ends.
    bool canSave() const;

signals:
    void nameEdited(const QString& name);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void save();
    void followName();

    SaveAction onSave_;
    VTTextField* field_;
    VTButton* saveButton_;
};

}  // namespace tilvane
