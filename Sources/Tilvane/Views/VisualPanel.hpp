#pragma once

#include "VemiTerminal/Components/VTWindow.hpp"

#include "TilvanePresets/VisualSettings.hpp"

namespace tilvane {

// An inspector panel that edits fields of the window's look. setVisual() shows a look without
// emitting; a user's edit emits the whole look with the edited field changed.
class VisualPanel : public VTWindow {
    Q_OBJECT
public:
    VisualPanel(const QString& title, bool active, QWidget* parent = nullptr);

    const VisualSettings& visual() const { return visual_; }
    void setVisual(const VisualSettings& visual);

signals:
    void visualEdited(const VisualSettings& visual);

protected:
    // Brings the controls up to date with visual(); runs with the panel's signals blocked.
    virtual void refresh() = 0;

    // Applies `change` to a copy of the look, shows it and emits it.
    template <typename Change>
    void edit(Change change)
    {
        VisualSettings edited = visual_;
        change(edited);
        setVisual(edited);
        emit visualEdited(edited);
    }

private:
    VisualSettings visual_;
};

}  // namespace tilvane
