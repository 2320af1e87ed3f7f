#pragma once

#include "EditorTestServices.hpp"
#include "PreviewTestSupport.hpp"
#include "Tilvane/Views/EditorWindow.hpp"
#include "VemiTerminal/Theme/VTThemeEnvironment.hpp"

#include <QCoreApplication>
#include <QSize>

#include <gtest/gtest.h>

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

    // Lets the window's jobs and renders end, the window redraw and its layouts settle.
    void settle() const
    {
        const auto& state = window->view().state();
        EXPECT_TRUE(waitUntil([&] {
            fixture.jobs->runAll();
            return !state.isProcessing && !state.isShaderProcessing;
        }));
        for (int turn = 0; turn < 4; ++turn) QCoreApplication::processEvents();
        EXPECT_FALSE(state.errorMessage().has_value()) << *state.errorMessage();
    }

    template <class Widget>
    Widget* child(const char* name) const
    {
        return window->findChild<Widget*>(QLatin1String(name));
    }

    EditorTestServices fixture;
    EditorWindow* window;
};

}  // namespace tilvane::testing
