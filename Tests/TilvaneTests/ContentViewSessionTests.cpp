#include "EditorTestServices.hpp"
#include "Tilvane/Views/ContentView.hpp"

#include <gtest/gtest.h>

namespace tilvane::testing {
namespace {

TEST(ContentViewSession, NewWindowWithoutSessionShowsTheSampleInTheSampleLook)
{
    EditorTestServices fixture;
    ContentView window(fixture.services());
    EXPECT_EQ(window.state(), ContentViewState{});

    window.windowDidAppear();
    fixture.jobs->runAll();

    EXPECT_EQ(window.state().sourceName, "Exemplo Tilvane");
    EXPECT_EQ(window.state().source, fixture.sample);
    EXPECT_EQ(window.state().visual, initialVisualSettings());
    ASSERT_TRUE(window.state().pixelGrid);
    EXPECT_EQ(window.state().pixelGrid->width(), 8);
    EXPECT_EQ(window.state().pixelGrid->height(), 6);
    EXPECT_FALSE(window.state().isProcessing);
}

}  // namespace
}  // namespace tilvane::testing
