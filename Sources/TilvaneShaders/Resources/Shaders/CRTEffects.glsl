// Picture effects drawn in one full-screen pass each: crt, glitchy, crtLottes, mnoise, negative,
// with the helpers the other sources share.
//
// The renderer declares `parameters` (the pass's float list), `bezelFlag` and `texture0..2`.
// Every fragment function receives the pixel centre in target pixels; y grows downwards
// (row 0 is the top of the picture), so texture coordinates are pixel / size.
// Colours arrive with straight alpha (over black when a bezel will make the result opaque;
// fully transparent pixels are black); the alpha written is ignored by the read-back.

// ---- shared helpers --------------------------------------------------------------------

vec4 fullscreenVertex(int vertexIndex)
{
    // One triangle that covers clip space: (-1,-1), (3,-1), (-1,3).
    vec2 corner = vec2(vertexIndex == 1 ? 3.0 : -1.0, vertexIndex == 2 ? 3.0 : -1.0);
    return vec4(corner, 0.0, 1.0);
}

vec2 pictureSize()
{
    return max(vec2(PICTURE_WIDTH, PICTURE_HEIGHT), vec2(1.0));
}

// Effects are laid out for a 720-pixel-high picture and scaled with the picture, so that the
// preview, thumbnails and large exports look alike.
float layoutUnit(vec2 size)
{
    return max(size.y, 1.0) / 720.0;
}

float clamp01(float value)
{
    return clamp(value, 0.0, 1.0);
}

// Intensity as a mixing weight: NaN and negatives draw nothing, above 1 draws fully.
float mixWeight(float intensity)
{
    return intensity > 0.0 ? min(intensity, 1.0) : 0.0;
}

vec4 inputPixel(vec2 pixel)
{
    return texelFetch(texture0, ivec2(pixel), 0);
}

uint hashBits(uvec3 value)
{
    uint h = value.x * 0x8da6b343u ^ value.y * 0xd8163841u ^ value.z * 0xcb1ab31fu;
    h ^= h >> 16u;
    h *= 0x7feb352du;
    h ^= h >> 15u;
    h *= 0x846ca68bu;
    h ^= h >> 16u;
    return h;
}

// A uniform value in [0, 1) for an integer cell and a seed.
float hashValue(vec2 cell, float seed)
{
    uvec3 bits = uvec3(ivec3(floor(cell), int(floor(seed))) + ivec3(65536));
    return float(hashBits(bits) >> 8u) / 16777216.0;
}

float valueNoise(vec2 position, float seed)
{
    vec2 cell = floor(position);
    vec2 f = fract(position);
    vec2 s = f * f * (3.0 - 2.0 * f);
    float a = hashValue(cell, seed);
    float b = hashValue(cell + vec2(1.0, 0.0), seed);
    float c = hashValue(cell + vec2(0.0, 1.0), seed);
    float d = hashValue(cell + vec2(1.0, 1.0), seed);
    return mix(mix(a, b, s.x), mix(c, d, s.x), s.y);
}

vec3 toLinear(vec3 color)
{
    color = clamp(color, 0.0, 1.0);
    return mix(color / 12.92, pow((color + 0.055) / 1.055, vec3(2.4)), step(vec3(0.04045), color));
}

vec3 toDisplay(vec3 color)
{
    color = clamp(color, 0.0, 1.0);
    return mix(color * 12.92, 1.055 * pow(color, vec3(1.0 / 2.4)) - 0.055, step(vec3(0.0031308), color));
}

float luminance(vec3 color)
{
    return dot(color, vec3(0.2126, 0.7152, 0.0722));
}

// Barrel distortion of a [0,1] coordinate: the stronger the curve, the smaller its value.
vec2 barrel(vec2 uv, vec2 curve)
{
    vec2 centred = uv * 2.0 - 1.0;
    vec2 offset = abs(centred.yx) / max(curve, vec2(0.5));
    centred += centred * offset * offset;
    return centred * 0.5 + 0.5;
}

// 1 inside the unit square, 0 outside, with an edge `softness` wide (in uv) between them.
float insideMask(vec2 uv, vec2 softness)
{
    vec2 s = max(softness, vec2(1e-5));
    vec2 inside = smoothstep(vec2(0.0), s, uv) * smoothstep(vec2(0.0), s, 1.0 - uv);
    return inside.x * inside.y;
}

// How much of a periodic pattern's contrast the output pixels can show when one of them spans
// `footprint` periods: all of it down to a period of four pixels, none at two or less, where
// the pixel grid would fold it into bands and rings.
float patternContrast(float footprint)
{
    return 1.0 - smoothstep(0.25, 0.5, footprint);
}

// How much of [0, t] each of three stripes covers that split every period in thirds.
vec3 stripeIntegral(float t)
{
    return floor(t) / 3.0 + clamp(fract(t) - vec3(0.0, 1.0, 2.0) / 3.0, 0.0, 1.0 / 3.0);
}

// The share of this output pixel (1/3 on average) that each stripe of an aperture grille
// covers, at `x` grille periods across the screen when the pixel spans `footprint` periods:
// the stripes averaged over that footprint, their contrast faded as the period nears two pixels.
vec3 grilleStripes(float x, float footprint)
{
    footprint = max(footprint, 1e-4);
    vec3 covered = (stripeIntegral(x + 0.5 * footprint) - stripeIntegral(x - 0.5 * footprint)) / footprint;
    return mix(vec3(1.0 / 3.0), covered, patternContrast(footprint));
}

// ---- crt --------------------------------------------------------------------------------
// Slots: 2 time, 3 intensity, 4-5 curve, 6 colour fringing, 7-8 ghosting, 9 darken,
// 10-11 vignette, 12-14 tint, 15-17 scanlines, 18-19 aperture grille, 20-21 flicker,
// 22-23 noise, 24-25 bloom, 26 background opacity, 27 mask outside bounds.

vec3 crtSample(vec2 uv, vec2 size, float fringe)
{
    vec2 shift = vec2(fringe / size.x, 0.0);
    return vec3(texture(texture0, uv + shift).r, texture(texture0, uv).g, texture(texture0, uv - shift).b);
}

vec3 crtBloom(vec2 uv, vec2 size, float spread)
{
    // A 5 × 5 Gaussian gather of the bright parts around uv.
    vec3 sum = vec3(0.0);
    float weights = 0.0;
    vec2 texel = max(spread, 0.0) / size * 0.5;
    for (int y = -2; y <= 2; ++y) {
        for (int x = -2; x <= 2; ++x) {
            vec2 offset = vec2(float(x), float(y));
            float weight = exp(-dot(offset, offset) * 0.35);
            vec3 tap = texture(texture0, uv + offset * texel).rgb;
            sum += tap * tap * weight;
            weights += weight;
        }
    }
    return sum / weights;
}

// Where a point of the picture (uv) lands on the crt's curved glass.
vec2 crtScreen(vec2 uv)
{
    return bezelFlag > 0.5 ? uv : barrel(uv, vec2(CRT_CURVE_X, CRT_CURVE_Y));
}

vec4 crtFragment(vec2 pixel)
{
    vec4 original = inputPixel(pixel);
    float weight = mixWeight(CRT_INTENSITY);
    if (weight <= 0.0) {
        return original;
    }
    vec2 size = pictureSize();
    float unit = layoutUnit(size);
    float time = CRT_TIME;
    vec2 uv = pixel / size;
    vec2 screen = crtScreen(uv);

    vec3 color = crtSample(screen, size, CRT_COLOR_FRINGING_SPREAD * 10.0 * unit);

    vec3 ghost = texture(texture0, screen - vec2(CRT_GHOSTING_SPREAD * 10.0 * unit / size.x, 0.0)).rgb;
    color += ghost * CRT_GHOSTING_STRENGTH;

    color += crtBloom(screen, size, CRT_BLOOM_SPREAD * unit) * clamp(CRT_BLOOM_STRENGTH * 64.0, 0.0, 4.0);

    color = mix(color, color * color, clamp01(CRT_DARKEN_MIX));

    float vignette = screen.x * screen.y * (1.0 - screen.x) * (1.0 - screen.y) * max(CRT_VIGNETTE_BRIGHTNESS, 0.0);
    color *= clamp01(pow(max(vignette, 0.0), max(CRT_VIGNETTE_SPREAD, 0.0)));

    color *= vec3(CRT_TINT_R, CRT_TINT_G, CRT_TINT_B);

    float brightness = luminance(clamp(color, 0.0, 1.0));
    float scanPeriod = max(CRT_SCAN_LINES_PERIOD * unit, 2.0);
    float scanWave = 0.5 + 0.5 * cos(6.2831853 * screen.y * size.y / scanPeriod);
    float scanDepth = clamp01(CRT_SCAN_LINES_STRENGTH) * (1.0 - clamp01(CRT_SCAN_LINES_VARIANCE) * brightness);
    color *= 1.0 - scanDepth * scanWave;

    float grillePeriod = max(CRT_APERTURE_GRILLE_PERIOD * 1.5 * unit, 1.5);
    vec2 perPixel = abs(crtScreen(uv + vec2(1.0, 0.0) / size) - screen) + abs(crtScreen(uv + vec2(0.0, 1.0) / size) - screen);
    float grilleScale = size.x / grillePeriod;
    vec3 grille = (0.55 + 0.45 * grilleStripes(screen.x * grilleScale, perPixel.x * grilleScale)) / 0.7;
    color *= mix(vec3(1.0), grille, clamp01(CRT_APERTURE_GRILLE_STRENGTH));

    color *= 1.0 - clamp01(CRT_FLICKER_STRENGTH) * (0.5 + 0.5 * sin(6.2831853 * time * CRT_FLICKER_FREQUENCY));

    float frame = floor(time * 60.0);
    vec2 grainCell = floor(screen * size / max(unit, 0.5));
    color *= 1.0 + (hashValue(grainCell, frame) - 0.5) * 0.3 * CRT_NOISE_CONTENT_STRENGTH;
    color += (hashValue(grainCell + vec2(17.0, 59.0), frame + 7.0) - 0.5) * 0.12 * CRT_NOISE_UNIFORM_STRENGTH;

    vec2 edge = vec2(1.5) / size;
    float inside = insideMask(screen, edge);
    if (CRT_MASK_OUTSIDE_BOUNDS > 0.5) {
        color *= mix(1.0 - clamp01(CRT_BACKGROUND_OPACITY), 1.0, inside);
    }

    vec3 result = mix(original.rgb, clamp(color, 0.0, 1.0), weight);
    return vec4(result, original.a);
}

// ---- glitchy -----------------------------------------------------------------------------
// Slots: 2 time, 3 frame (time × 60), 4 burst cycle in seconds, 5 amount, 6 intensity.
// The picture is calm most of the cycle and breaks up in a short burst at its start.

vec4 glitchyFragment(vec2 pixel)
{
    vec4 original = inputPixel(pixel);
    float weight = mixWeight(GLITCHY_INTENSITY);
    if (weight <= 0.0) {
        return original;
    }
    vec2 size = pictureSize();
    vec2 uv = pixel / size;
    float time = max(GLITCHY_TIME, 0.0);
    float cycle = max(GLITCHY_DURATION, 0.1);
    float amount = clamp(GLITCHY_AMOUNT, 0.0, 1.0);
    float phase = fract(time / cycle) * cycle;
    float burstLength = min(1.2, cycle * 0.35);
    float burst = 1.0 - smoothstep(burstLength * 0.6, burstLength, phase);
    float seed = floor(GLITCHY_FRAME / 4.0);
    float flash = step(0.94, hashValue(vec2(seed, 3.0), 11.0));
    float strength = max(burst, flash * 0.6) * (0.35 + amount * 2.0);

    // Bands of random height, some torn sideways.
    float band = floor(uv.y * mix(12.0, 40.0, hashValue(vec2(seed, 1.0), 5.0)));
    float bandRoll = hashValue(vec2(band, seed), 19.0);
    float tear = step(0.72, bandRoll) * (hashValue(vec2(band, seed), 23.0) - 0.5) * 0.25 * strength;
    vec2 shifted = vec2(uv.x + tear, uv.y);

    // Blocks that lose their detail or swap channels.
    vec2 block = floor(uv * vec2(16.0, 10.0));
    float blockRoll = hashValue(block, seed + 31.0);
    bool corrupted = blockRoll > 1.0 - 0.06 * strength;
    if (corrupted) {
        shifted = (floor(shifted * size / 8.0) + 0.5) * 8.0 / size;
    }

    float split = (0.004 + 0.02 * amount) * strength;
    vec3 color = vec3(texture(texture0, shifted + vec2(split, 0.0)).r, texture(texture0, shifted).g,
                      texture(texture0, shifted - vec2(split, 0.0)).b);
    if (corrupted) {
        color = blockRoll > 1.0 - 0.025 * strength ? color.brg : color.gbr * 0.85;
    }

    float line = step(0.985, hashValue(vec2(floor(uv.y * size.y / 2.0), seed), 41.0));
    color = mix(color, vec3(luminance(color) * 1.6), line * strength * 0.5);
    vec3 result = mix(original.rgb, clamp(color, 0.0, 1.0), weight);
    return vec4(result, original.a);
}

// ---- crtLottes ---------------------------------------------------------------------------
// After Timothy Lottes' public-domain CRT: a low-resolution grid drawn with a Gaussian pixel
// and a Gaussian scanline in linear light, a shadow mask and a warped, vignetted screen.
// Slots: 2 grid scale, 3 warp, 4 minimum vignette, 5 scanline thinness, 6 pixel blur
// (a negative hardness), 7 mask, 8 intensity.

vec3 lottesFetch(vec2 cell, vec2 grid)
{
    return toLinear(texture(texture0, (floor(cell) + 0.5) / grid).rgb);
}

// Horizontal Gaussian through `taps` grid pixels of one row.
vec3 lottesRow(vec2 position, float rowOffset, vec2 grid, float hardness)
{
    vec3 sum = vec3(0.0);
    float weights = 0.0;
    float fraction = fract(position.x) - 0.5;
    for (int tap = -2; tap <= 2; ++tap) {
        float offset = float(tap) - fraction;
        float weight = exp2(hardness * offset * offset);
        sum += lottesFetch(position + vec2(float(tap), rowOffset), grid) * weight;
        weights += weight;
    }
    return sum / max(weights, 1e-5);
}

vec3 lottesMask(vec2 pixel, float strength)
{
    float dark = 1.0 - 0.5 * strength;
    float light = 1.0 + 0.5 * strength;
    vec3 mask = vec3(dark);
    float column = fract((pixel.x + floor(pixel.y / 2.0) * 3.0) / 6.0);
    if (column < 0.333) {
        mask.r = light;
    } else if (column < 0.666) {
        mask.g = light;
    } else {
        mask.b = light;
    }
    return mask;
}

vec4 crtLottesFragment(vec2 pixel)
{
    vec4 original = inputPixel(pixel);
    float weight = mixWeight(LOTTES_INTENSITY);
    if (weight <= 0.0) {
        return original;
    }
    vec2 size = pictureSize();
    vec2 uv = pixel / size;
    vec2 warp = vec2(1.0 / 32.0, 1.0 / 24.0) * max(LOTTES_WARP_STRENGTH, 0.0);
    vec2 screen = uv;
    if (bezelFlag < 0.5) {
        vec2 centred = uv * 2.0 - 1.0;
        centred *= vec2(1.0 + centred.y * centred.y * warp.x, 1.0 + centred.x * centred.x * warp.y);
        screen = centred * 0.5 + 0.5;
    }

    // The grid follows the layout unit, so a large export shows the same rows as the preview.
    vec2 grid = max(floor(size * clamp(LOTTES_SCALE, 0.02, 1.0) / max(layoutUnit(size), 1.0)), vec2(1.0));
    vec2 position = screen * grid;
    float pixelHardness = min(LOTTES_BLUR, -0.05);
    float scanHardness = -max(LOTTES_THIN, 0.05) * 10.0;

    vec3 color = vec3(0.0);
    float rowFraction = fract(position.y) - 0.5;
    for (int row = -1; row <= 1; ++row) {
        float offset = float(row) - rowFraction;
        color += lottesRow(position, float(row), grid, pixelHardness) * exp2(scanHardness * offset * offset);
    }

    float mask = clamp01(LOTTES_MASK);
    color *= lottesMask(pixel / max(layoutUnit(size), 0.34), mask);
    color *= 1.0 + 0.6 * clamp(LOTTES_THIN, 0.0, 2.0) * 0.5;

    float edge = 16.0 * screen.x * screen.y * (1.0 - screen.x) * (1.0 - screen.y);
    color *= mix(clamp01(LOTTES_MIN_VIGNETTE), 1.0, clamp01(pow(max(edge, 0.0), 0.35)));
    color *= insideMask(screen, vec2(1.0) / grid);

    vec3 result = mix(original.rgb, toDisplay(color), weight);
    return vec4(result, original.a);
}

// ---- mnoise ------------------------------------------------------------------------------
// Slots: 2 time, 3 intensity. Drifting analogue static over the picture.

vec4 mnoiseFragment(vec2 pixel)
{
    vec4 original = inputPixel(pixel);
    float weight = mixWeight(MNOISE_INTENSITY);
    if (weight <= 0.0) {
        return original;
    }
    vec2 size = pictureSize();
    float unit = max(layoutUnit(size), 0.34);
    float time = MNOISE_TIME;
    float frame = floor(time * 24.0);
    vec2 cell = floor(pixel / unit);

    float grain = hashValue(cell, frame);
    float drift = valueNoise(pixel / (unit * 90.0) + vec2(time * 0.35, time * -0.2), 3.0);
    float streak = valueNoise(vec2(pixel.y / (unit * 3.0), time * 6.0), 9.0);
    float staticValue = grain * 0.65 + drift * 0.25 + streak * 0.1;

    vec3 noisy = original.rgb * (0.82 + 0.36 * drift) + (staticValue - 0.5) * 0.42;
    vec3 result = mix(original.rgb, clamp(noisy, 0.0, 1.0), weight);
    return vec4(result, original.a);
}

// ---- negative ----------------------------------------------------------------------------
// Slot 2: intensity.

vec4 negativeFragment(vec2 pixel)
{
    vec4 original = inputPixel(pixel);
    float weight = mixWeight(NEGATIVE_INTENSITY);
    if (weight <= 0.0) {
        return original;
    }
    return vec4(mix(original.rgb, vec3(1.0) - original.rgb, weight), original.a);
}
