#pragma once

// An editor window the keyboard drives, as the focus tests use it: shown, active, with the application's built-in
// presets and a picture, and what they ask of its column.

#include "FocusRingSupport.hpp"
#include "PanelTestSupport.hpp"
#include "PreviewTestSupport.hpp"
#include "ShownEditorSupport.hpp"

#include "Tilvane/Views/InspectorPanel.hpp"

#include <QApplication>
#include <QTest>

#include <functional>
#include <set>
#include <stdexcept>
#include <string>

namespace tilvane::testing {

// An editor window with the application's built-in presets, active, that the keyboard drives.
struct KeyboardEditor : ShownEditor {
    explicit KeyboardEditor(VTAppearance appearance = VTAppearance::noite,
                            const std::function<void(EditorTestServices&)>& prepare = {})
        : ShownEditor(appearance, panels::builtInPresets(), {1280, 800}, [&prepare](EditorTestServices& services) {
              services.renderer = &testRenderer();
              if (prepare) prepare(services);
          })
    {
        settle();
        activate(*window);
    }

    // The control of that name the window shows (controls a rebuild replaced may linger, hidden, until deleted).
    QWidget& named(const QString& name) const
    {
        for (QWidget* widget : window->findChildren<QWidget*>(name)) {
            if (widget->isVisibleTo(window)) return *widget;
        }
        throw std::runtime_error("no control shown named " + name.toStdString());
    }

    // Gives `name` the focus as Tab would and presses Space in it.
    void press(const QString& name) const
    {
        QWidget& control = named(name);
        control.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&control, Qt::Key_Space);
        settle();
    }

    void createPersonalPreset(const std::string& name) const
    {
        window->view().beginCreatePreset();
        settle();
        window->view().setPresetName(name);
        window->view().commitNameDialog();
        settle();
        activate(*window);
    }

    void deleteSelectedPersonalPreset() const
    {
        window->view().requestDeletePreset();
        settle();
        window->view().confirmDeletePreset();
        settle();
        activate(*window);
    }

    // The controls Tab can reach now, found without the focus chain.
    std::set<QWidget*> reachableControls() const
    {
        std::set<QWidget*> reachable;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if ((widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget->window() == window
                && widget->isVisibleTo(window) && widget->isEnabled() && widget->focusProxy() == nullptr)
                reachable.insert(widget);
        }
        return reachable;
    }
};

inline QRect boundsIn(const QWidget& control, const QWidget& area)
{
    return {control.mapTo(&area, QPoint()), control.size()};
}

// Whether the column shows all of `control`.
inline bool inViewOfTheColumn(QWidget& window, const QWidget& control)
{
    const QWidget* viewport = window.findChild<InspectorPanel*>(QStringLiteral("inspectorPanel"))->viewport();
    return viewport->rect().contains(boundsIn(control, *viewport));
}

}  // namespace tilvane::testing
