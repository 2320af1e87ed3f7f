#include "Tilvane/Views/ContentView.hpp"

namespace tilvane {

void ContentView::applyShader()
{
    shaderWork_.stop();
    assign<&ContentViewState::shaderImage>(nullptr);
    assign<&ContentViewState::isShaderProcessing>(false);
}

void ContentView::generateShaderThumbnails(ImagePointer, int, int) {}

void ContentView::refreshScreenThumbnails(ImagePointer, ImagePointer)
{
    screenThumbnailRefresh_.stop();
}

void ContentView::generatePersonalThumbnails() {}

}  // namespace tilvane
