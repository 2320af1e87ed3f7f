#include "TilvaneShaders/Renderer/ShaderRenderer.hpp"
#include <gtest/gtest.h>
#include <chrono>
using namespace tilvane;
TEST(Smoke, Creates) {
  auto t0 = std::chrono::steady_clock::now();
  try { ShaderRenderer r(ShaderBundle(TILVANE_SHADERS_BUNDLE)); 
    auto t1 = std::chrono::steady_clock::now();
    printf("create %f\n", std::chrono::duration<double>(t1-t0).count());
    std::vector<uint8_t> px(64*48*4, 200);
    auto img = Image::make(64,48,px);
    for (auto eff : {"crt","negative","mnoise","glitchy","crtLottes","realisticPhosphor"}) {
      ShaderConfiguration c; c.passes.push_back(ShaderPass(eff, 1, {}, true)); c.bezel.isOn = true;
      auto t2 = std::chrono::steady_clock::now();
      auto out = r.render(img, c, ScreenSettings{0.5,0.5,0.5}, 0, false);
      printf("%s %f px %d %d %d %d\n", eff, std::chrono::duration<double>(std::chrono::steady_clock::now()-t2).count(), out->pixel(32,24)[0], out->pixel(32,24)[1], out->pixel(32,24)[2], out->pixel(32,24)[3]);
    }
  } catch (const std::exception& e) { FAIL() << e.what(); }
}
