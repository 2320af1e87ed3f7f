// Realistic phosphor screen in four stages: excitation with afterglow (16-bit float emission),
// a quarter-size separable bloom (horizontal, then vertical) and the composite that draws the
// beam raster, the bloom or halation, the glass curvature and the background glow.
//
// Phosphor list slots: 2 time, 3 seconds since the previous frame, 4 intensity,
// 5-7 phosphor colour (black keeps the picture's colours), 8-10 background, 11 virtual rows,
// 12 scanline strength, 13 bloom, 14 persistence, 15 noise, 16 flicker, 17 jitter,
// 18 curvature, 19 raster mode (0 smooth, 1 scanlines, 2 dots, 3 RGB triads), 20 brightness,
// 21 mask strength, 22 motion flag, 23 previous-frame flag, 24-25 rolling band,
// 27-28 overdrive and its knee, 29-31 horizontal sync tear (strength, speed, width),
// 32 halation switch.

float phosphorRows(vec2 size)
{
    return clamp(PHOSPHOR_VIRTUAL_ROWS, 1.0, max(size.y, 1.0));
}

vec3 phosphorTint(vec3 linearColor)
{
    vec3 tint = max(vec3(PHOSPHOR_R, PHOSPHOR_G, PHOSPHOR_B), vec3(0.0));
    float tintSum = tint.r + tint.g + tint.b;
    if (tintSum < 0.001) {
        return linearColor;
    }
    // A monochrome tube: the picture's light drives a phosphor of one colour.
    return luminance(linearColor) * tint / max(max(tint.r, tint.g), max(tint.b, 0.05));
}

// Horizontal displacement of the beam on a row: jitter everywhere, a tear inside the sync band.
float phosphorBeamShift(float row, float rows, float time, bool moving)
{
    float seed = moving ? floor(time * 30.0) : 0.0;
    float shift = (hashValue(vec2(row, 7.0), seed) - 0.5) * clamp01(PHOSPHOR_JITTER) * 0.02;
    float band = fract(time * PHOSPHOR_HSYNC_SPEED);
    float width = max(PHOSPHOR_HSYNC_WIDTH, 0.001);
    float y = row / rows;
    float inBand = 1.0 - smoothstep(0.0, width, abs(y - band));
    shift += inBand * clamp01(PHOSPHOR_HSYNC) * 0.08 * (0.6 + 0.4 * sin(row * 0.7 + time * 13.0));
    return shift;
}

vec4 phosphorExcitationFragment(vec2 pixel)
{
    vec2 size = pictureSize();
    vec2 uv = pixel / size;
    float time = PHOSPHOR_TIME;
    bool moving = PHOSPHOR_MOTION > 0.5;
    float rows = phosphorRows(size);
    float row = floor(uv.y * rows);

    // The beam draws one virtual row at a time: the picture is averaged over the row's height
    // and over about one dot across, so detail finer than the raster does not alias.
    float beamX = uv.x - phosphorBeamShift(row, rows, time, moving);
    float dotWidth = 1.0 / (rows * size.x / size.y);
    vec3 sampled = vec3(0.0);
    for (int tap = 0; tap < 4; ++tap) {
        float y = (row + (float(tap) + 0.5) / 4.0) / rows;
        float x = beamX + (float(tap % 2) - 0.5) * dotWidth * 0.5;
        sampled += toLinear(texture(texture0, vec2(x, y)).rgb);
    }
    vec3 light = phosphorTint(sampled * 0.25);

    float drive = luminance(light);
    float knee = clamp(PHOSPHOR_OVERDRIVE_KNEE, 0.0, 0.95);
    light *= 1.0 + clamp(PHOSPHOR_OVERDRIVE, 0.0, 1.0) * 3.0 * max(drive - knee, 0.0) / (1.0 - knee);
    light *= max(PHOSPHOR_BRIGHTNESS, 0.0);

    if (moving) {
        light *= 1.0 - clamp01(PHOSPHOR_FLICKER) * (0.5 + 0.5 * sin(time * 6.2831853 * 11.0));
        float rolling = fract(uv.y - time * PHOSPHOR_ROLLING_SPEED);
        light *= 1.0 + clamp01(PHOSPHOR_ROLLING_STRENGTH) * 0.35 * exp(-pow((rolling - 0.5) * 7.0, 2.0));
    }
    float grain = hashValue(floor(pixel / max(layoutUnit(size), 0.34)), moving ? floor(time * 30.0) : 0.0);
    light = max(light + (grain - 0.5) * clamp01(PHOSPHOR_NOISE) * 0.5 * (0.25 + luminance(light)), 0.0);

    if (PHOSPHOR_PREVIOUS_FRAME > 0.5) {
        // Afterglow: the previous emission fades with the persistence as time constant.
        vec3 previous = texelFetch(texture1, ivec2(pixel), 0).rgb;
        float persistence = PHOSPHOR_PERSISTENCE;
        float elapsed = max(PHOSPHOR_ELAPSED, 0.0);
        float fade = persistence > 0.001 ? exp(-elapsed / persistence) : 0.0;
        light = max(light, previous * fade);
    }
    return vec4(clamp(light, 0.0, 256.0), 1.0);
}

// Blur list slots: 0-1 size of the texture blurred, 2-3 direction, 4 how many of its pixels
// one target pixel spans, 5 halation switch (wider, softer spread).
vec4 phosphorBlurFragment(vec2 pixel)
{
    vec2 sourceSize = pictureSize();
    float stride = max(BLUR_STRIDE, 1.0);
    vec2 targetSize = max(floor(sourceSize / stride), vec2(1.0));
    vec2 uv = pixel / targetSize;
    vec2 direction = vec2(BLUR_DIRECTION_X, BLUR_DIRECTION_Y);
    vec2 across = vec2(direction.y, direction.x);
    bool halation = BLUR_HALATION > 0.5;

    // Taps along the direction, in target pixels; across it, the stride is averaged.
    float spacing = halation ? 1.6 : 0.8;
    float sigma = halation ? 5.0 : 2.2;
    vec2 along = direction * spacing / targetSize;
    vec2 acrossStep = across * max(stride * 0.25, 0.0) / sourceSize;
    vec3 sum = vec3(0.0);
    float weights = 0.0;
    for (int tap = -6; tap <= 6; ++tap) {
        float offset = float(tap) * spacing;
        float weight = exp(-offset * offset / (2.0 * sigma * sigma));
        if (halation) {
            weight += 0.15 / (1.0 + abs(offset));
        }
        vec2 at = uv + along * float(tap);
        vec3 tap3 = texture(texture0, at + acrossStep).rgb + texture(texture0, at - acrossStep).rgb;
        sum += tap3 * 0.5 * weight;
        weights += weight;
    }
    return vec4(clamp(sum / max(weights, 1e-5), 0.0, 256.0), 1.0);
}

// A Gaussian spot of deviation sigma, one per period, at `phase` (-0.5...0.5) from its centre,
// its peak 1 / (sigma sqrt(2 pi)); drawn towards its mean over the period as one output pixel
// spans `footprint` periods and can no longer show it.
float phosphorProfile(float phase, float sigma, float footprint)
{
    float spot = exp(-phase * phase / (2.0 * sigma * sigma)) / (sigma * 2.5066);
    float x2 = 0.125 / (sigma * sigma);  // erf(0.5 / (sigma sqrt 2)), within 1e-4
    float mean = sqrt(1.0 - exp(-x2 * (1.2732 + 0.147 * x2) / (1.0 + 0.147 * x2)));
    return mix(mean, spot, patternContrast(footprint));
}

// Brightness of the beam raster at a screen position, per colour channel; `perPixel` is how far
// the screen position moves over one output pixel, across and down.
vec3 phosphorRaster(vec2 screen, vec2 perPixel, vec2 size, float brightness)
{
    int mode = int(clamp(floor(PHOSPHOR_RASTER_MODE + 0.5), 0.0, 3.0));
    if (mode == 0) {
        return vec3(1.0);
    }
    float rows = phosphorRows(size);
    float scan = clamp01(PHOSPHOR_SCAN_STRENGTH);
    float mask = clamp01(PHOSPHOR_MASK_STRENGTH);
    float rowPhase = fract(screen.y * rows) - 0.5;
    float sigma = mix(0.2, 0.42, clamp01(brightness));
    float rowFootprint = perPixel.y * rows;
    float beam = phosphorProfile(rowPhase, sigma, rowFootprint);
    float scanline = mix(1.0, beam, scan);

    float columns = rows * size.x / size.y;
    if (mode == 2) {
        float row = floor(screen.y * rows);
        float columnPhase = fract(screen.x * columns + (mod(row, 2.0) > 0.5 ? 0.5 : 0.0)) - 0.5;
        float spot = phosphorProfile(columnPhase, sigma, max(perPixel.x * columns, rowFootprint));
        return vec3(scanline * mix(1.0, spot, mask));
    }
    float triads = columns * (mode == 3 ? 1.0 : 1.5);
    vec3 stripes = grilleStripes(screen.x * triads, perPixel.x * triads);
    float separation = mode == 3 ? 1.0 : 0.45;
    vec3 grille = mix(vec3(1.0), stripes * 3.0, separation);
    return scanline * mix(vec3(1.0), grille, mask);
}

vec3 phosphorShoulder(vec3 color)
{
    vec3 over = max(color - 0.8, 0.0);
    return min(color, vec3(0.8)) + 0.2 * (1.0 - exp(-over / 0.2));
}

// Where a point of the picture (uv) lands on the curved glass.
vec2 phosphorScreen(vec2 uv)
{
    vec2 screen = uv;
    if (bezelFlag < 0.5) {
        vec2 centred = uv * 2.0 - 1.0;
        centred *= 1.0 + clamp(PHOSPHOR_CURVATURE, 0.0, 1.0) * 0.25 * dot(centred, centred);
        screen = centred * 0.5 + 0.5;
    }
    return screen;
}

vec4 phosphorCompositeFragment(vec2 pixel)
{
    vec4 original = inputPixel(pixel);
    float weight = mixWeight(PHOSPHOR_INTENSITY);
    vec2 size = pictureSize();
    vec2 uv = pixel / size;
    float curvature = clamp(PHOSPHOR_CURVATURE, 0.0, 1.0);
    vec2 screen = phosphorScreen(uv);

    vec3 emission = texture(texture1, screen).rgb;
    vec3 bloom = texture(texture2, screen).rgb;
    vec2 perPixel = abs(phosphorScreen(uv + vec2(1.0, 0.0) / size) - screen)
                    + abs(phosphorScreen(uv + vec2(0.0, 1.0) / size) - screen);
    vec3 raster = phosphorRaster(screen, perPixel, size, luminance(emission));
    vec3 background = toLinear(vec3(PHOSPHOR_BACKGROUND_R, PHOSPHOR_BACKGROUND_G, PHOSPHOR_BACKGROUND_B));

    vec3 light = background + emission * raster + bloom * max(PHOSPHOR_BLOOM, 0.0) * (PHOSPHOR_BLOOM_STYLE > 0.5 ? 0.5 : 0.3);
    vec2 fromCentre = screen * 2.0 - 1.0;
    light *= 1.0 - 0.25 * curvature * dot(fromCentre, fromCentre);
    light *= insideMask(screen, vec2(1.5) / size);

    vec3 result = mix(original.rgb, toDisplay(phosphorShoulder(light)), weight);
    return vec4(result, original.a);
}
