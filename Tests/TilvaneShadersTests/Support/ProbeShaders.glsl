// Probe shaders: see probeSources() in ProbeBundle.hpp.
vec4 fullscreenVertex(int vertexIndex)
{
    return vec4(vertexIndex == 1 ? 3.0 : -1.0, vertexIndex == 2 ? 3.0 : -1.0, 0.0, 1.0);
}

bool inProbeRows(vec2 pixel, int firstRow)
{
    int y = int(pixel.y);
    return y == firstRow || y == firstRow + 1;
}

vec4 encodedSlot(vec2 pixel, int firstRow)
{
    uint bits = floatBitsToUint(parameters[min(int(pixel.x), 63)]);
    if (int(pixel.y) == firstRow) {
        return vec4(float(bits & 255u), float((bits >> 8u) & 255u), float((bits >> 16u) & 255u), 255.0) / 255.0;
    }
    return vec4(float(bits >> 24u), bezelFlag * 255.0, 0.0, 255.0) / 255.0;
}

vec4 passThrough(vec2 pixel)
{
    return texelFetch(texture0, ivec2(pixel), 0);
}

vec4 effectProbe(vec2 pixel)
{
    return inProbeRows(pixel, 0) ? encodedSlot(pixel, 0) : passThrough(pixel);
}

vec4 crtFragment(vec2 pixel) { return effectProbe(pixel); }
vec4 negativeFragment(vec2 pixel) { return effectProbe(pixel); }
vec4 mnoiseFragment(vec2 pixel) { return effectProbe(pixel); }
vec4 glitchyFragment(vec2 pixel) { return effectProbe(pixel); }
vec4 crtLottesFragment(vec2 pixel) { return effectProbe(pixel); }

vec4 phosphorExcitationFragment(vec2 pixel)
{
    vec4 previous = texelFetch(texture1, ivec2(pixel), 0);
    float counted = parameters[23] > 0.5 ? previous.r : 0.0;
    return vec4(counted + 1.0, previous.r, passThrough(pixel).r, 1.0);
}

vec4 phosphorBlurFragment(vec2 pixel)
{
    ivec2 at = ivec2(pixel);
    if (at == ivec2(0, 0)) {
        return vec4(parameters[0], parameters[1], parameters[2] * 2.0 + parameters[3], parameters[4] * 2.0 + parameters[5]);
    }
    if (at == ivec2(1, 0)) {
        return texelFetch(texture0, ivec2(0, 0), 0);
    }
    return vec4(pixel - 0.5, vec2(textureSize(texture0, 0)));
}

vec4 phosphorCompositeFragment(vec2 pixel)
{
    if (inProbeRows(pixel, 0)) {
        return encodedSlot(pixel, 0);
    }
    int x = int(pixel.x);
    if (int(pixel.y) == 2) {
        vec4 emission = texelFetch(texture1, ivec2(x, 0), 0);
        return vec4(emission.rg / 255.0, emission.b, 1.0);
    }
    if (int(pixel.y) == 3 && x < 6) {
        vec4 texel = x < 4 ? texelFetch(texture2, ivec2(x / 2, 0), 0)
                           : vec4(vec2(textureSize(texture2, 0)), texelFetch(texture2, ivec2(2, 0), 0).zw);
        return (x % 2 == 0 ? vec4(texel.xyz, 255.0) : vec4(texel.w, 0.0, 0.0, 255.0)) / 255.0;
    }
    return passThrough(pixel);
}

vec4 screenEffectsFragment(vec2 pixel)
{
    return inProbeRows(pixel, 4) ? encodedSlot(pixel, 4) : passThrough(pixel);
}

vec4 monitorBezelFragment(vec2 pixel)
{
    if (inProbeRows(pixel, 6)) {
        return encodedSlot(pixel, 6);
    }
    if (int(pixel.y) == 8) {
        return textureLod(texture0, vec2(0.5), 20.0);
    }
    return passThrough(pixel);
}
