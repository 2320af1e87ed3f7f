// Screen-wide scanlines and glow, drawn over the picture after the effect passes.
// Slots: 2 scanline strength, 3 scanline thickness (share of each period that is dark),
// 4 glow strength.

vec3 screenGlow(vec2 uv, vec2 size)
{
    // A soft disc gathered along a golden-angle spiral.
    float radius = 14.0 * layoutUnit(size);
    vec3 sum = vec3(0.0);
    float weights = 0.0;
    for (int tap = 0; tap < 32; ++tap) {
        float r = sqrt((float(tap) + 0.5) / 32.0);
        float angle = float(tap) * 2.3999632;
        vec2 offset = vec2(cos(angle), sin(angle)) * r * radius / size;
        float weight = 1.0 - 0.7 * r;
        vec3 tap3 = toLinear(texture(texture0, uv + offset).rgb);
        sum += tap3 * weight;
        weights += weight;
    }
    return sum / weights;
}

vec4 screenEffectsFragment(vec2 pixel)
{
    vec4 original = inputPixel(pixel);
    vec2 size = pictureSize();
    vec2 uv = pixel / size;
    vec3 light = toLinear(original.rgb);

    float glow = clamp01(SCREEN_GLOW_STRENGTH);
    if (glow > 0.0) {
        vec3 halo = screenGlow(uv, size);
        light = light + halo * glow * 0.9;
        light = light / (1.0 + glow * 0.3 * light);
    }

    float strength = clamp01(SCREEN_SCANLINE_STRENGTH);
    if (strength > 0.0) {
        float period = max(floor(3.0 * layoutUnit(size) + 0.5), 2.0);
        float thickness = clamp01(SCREEN_SCANLINE_THICKNESS);
        float fromLine = abs(fract(pixel.y / period) - 0.5);
        float halfWidth = thickness * 0.5;
        float soft = 0.5 / period;
        float dark = thickness > 0.0 ? 1.0 - smoothstep(halfWidth - soft, halfWidth + soft, fromLine) : 0.0;
        light *= 1.0 - strength * dark;
    }
    return vec4(toDisplay(light), original.a);
}
