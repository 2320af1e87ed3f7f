#include "Tilvane/Views/ContentView.hpp"

namespace tilvane {

void ContentView::exportPNG() {}

void ContentView::exportGIF() {}

}  // namespace tilvane
