#pragma once

#include "EditorTestServices.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QCoreApplication>
#include <QSize>

#include <functional>
#include <vector>

namespace tilvane::testing {

// A shown editor window on its test services, started and with its jobs run. `prepare` runs on the services before
// the window is made (to leave a last session, for instance).
struct ShownEditor {
    explicit ShownEditor(VTAppearance appearance = VTAppearance::noite, std::vector<ShaderPreset> shaderPresets = {},
                         QSize size = {1200, 760}, const std::function<void(EditorTestServices&)>& prepare = {})
    {
        fixture.sample = solidImage(64, 48, 30, 160, 90);
        fixture.shaderPresets = std::move(shaderPresets);
        if (prepare) prepare(fixture);
        window = new EditorWindow(fixture.services());
        vemiTerminal(window, appearance);
        window->view().setAppearance(appearance);
        window->resize(size);
        window->show();
        QCoreApplication::processEvents();
        fixture.jobs->runAll();
        for (int turn = 0; turn < 3; ++turn) QCoreApplication::processEvents();  // redraw, then lay out again
    }
    ~ShownEditor() { delete window; }

    template <class Widget>
    Widget* child(const char* name) const
    {
        return window->findChild<Widget*>(QLatin1String(name));
    }

    EditorTestServices fixture;
    EditorWindow* window;
};

}  // namespace tilvane::testing
