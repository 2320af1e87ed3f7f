// A monitor frame around the picture: a curved, rounded screen recessed behind a lit bevel,
// a plastic frame of the chosen colour and a blurred reflection of the screen on the bevel.
// Slots: 2 share of the height the screen fills, 3 width / height, 4 depth, 5-7 frame colour,
// 8 reflection softness, 9 curvature. texture0 carries a full mipmap chain.
// Distances are measured in picture heights, centred on the picture.

vec2 bezelScreenExtent()
{
    return 0.5 * clamp(BEZEL_SCREEN_HEIGHT, 0.1, 1.0) * vec2(max(BEZEL_ASPECT, 0.01), 1.0);
}

// Screen texture coordinate of a point, through the curvature of the glass.
vec2 bezelScreenUV(vec2 point)
{
    vec2 centred = point / bezelScreenExtent();
    float bulge = clamp(BEZEL_CURVATURE, 0.0, 3.0) * 0.045;
    centred *= 1.0 + bulge * dot(centred, centred);
    return centred * 0.5 + 0.5;
}

float bezelCornerRadius()
{
    return 0.018 + 0.02 * clamp(BEZEL_CURVATURE, 0.0, 3.0);
}

// Signed distance to the edge of the glass (negative inside), in picture heights.
float bezelScreenDistance(vec2 point)
{
    vec2 extent = bezelScreenExtent();
    vec2 warped = (bezelScreenUV(point) - 0.5) * 2.0 * extent;
    float radius = min(bezelCornerRadius(), min(extent.x, extent.y));
    vec2 corner = abs(warped) - (extent - radius);
    return length(max(corner, 0.0)) + min(max(corner.x, corner.y), 0.0) - radius;
}

// Direction in which the distance grows (away from the glass).
vec2 bezelOutward(vec2 point, float delta)
{
    vec2 gradient = vec2(bezelScreenDistance(point + vec2(delta, 0.0)) - bezelScreenDistance(point - vec2(delta, 0.0)),
                         bezelScreenDistance(point + vec2(0.0, delta)) - bezelScreenDistance(point - vec2(0.0, delta)));
    float length2 = dot(gradient, gradient);
    return length2 > 1e-12 ? gradient * inversesqrt(length2) : vec2(0.0, -1.0);
}

vec3 bezelGlass(vec2 point, float edgeDistance, vec2 outward, float depth)
{
    vec3 light = toLinear(textureLod(texture0, clamp(bezelScreenUV(point), 0.0, 1.0), 0.0).rgb);
    // The bevel shades the recessed glass, more along the top edge, which faces away from the light.
    float reach = (0.003 + 0.03 * depth) * (1.0 + 1.5 * max(-outward.y, 0.0));
    light *= mix(0.35, 1.0, smoothstep(0.0, reach, -edgeDistance));
    vec2 fromCorner = point / max(bezelScreenExtent(), vec2(0.01)) + vec2(0.9, 0.9);
    light += 0.018 * exp(-dot(fromCorner, fromCorner) * 1.5);
    return light;
}

vec3 bezelFrame(vec2 point, vec2 uv, float edgeDistance, vec2 outward, float depth, float pixelSize)
{
    vec3 base = toLinear(clamp(vec3(BEZEL_COLOR_R, BEZEL_COLOR_G, BEZEL_COLOR_B), 0.0, 1.0));
    vec2 extent = bezelScreenExtent();
    float frameWidth = max(0.5 - extent.y, pixelSize);
    float bevelWidth = min(frameWidth * 0.6, 0.008 + 0.045 * depth);

    // Surface normal: the bevel slopes down towards the glass; the outer rim rolls off.
    float onBevel = 1.0 - smoothstep(bevelWidth * 0.85, bevelWidth, edgeDistance);
    vec3 normal = vec3(-outward * (0.25 + 1.6 * depth) * onBevel, 1.0);
    vec2 size = pictureSize();
    vec2 toBorder = min(uv, 1.0 - uv) * vec2(size.x / size.y, 1.0);
    float rimWidth = max(frameWidth * 0.25, pixelSize);
    vec2 rim = (1.0 - smoothstep(vec2(0.0), vec2(rimWidth), toBorder)) * sign(uv - 0.5);
    normal.xy += rim * 0.9;
    normal = normalize(normal);

    vec3 lightDirection = normalize(vec3(-0.3, -0.65, 0.7));
    float diffuse = max(dot(normal, lightDirection), 0.0);
    vec3 halfway = normalize(lightDirection + vec3(0.0, 0.0, 1.0));
    float specular = pow(max(dot(normal, halfway), 0.0), 28.0);
    float grain = hashValue(floor(uv * size), 5.0) - 0.5;
    vec3 color = base * (0.28 + 0.85 * diffuse) * (1.0 + grain * 0.04) + specular * 0.12;

    // The glass mirrored in the bevel, blurred by the softness.
    float softness = clamp01(BEZEL_REFLECTION_SOFTNESS);
    vec2 mirrored = point - outward * edgeDistance * 2.0;
    vec3 reflection = toLinear(textureLod(texture0, clamp(bezelScreenUV(mirrored), 0.0, 1.0), 1.0 + softness * 6.0).rgb);
    float fade = exp(-edgeDistance / (bevelWidth * 0.45 + 0.001)) * onBevel;
    color += reflection * fade * (0.3 - 0.12 * softness);

    // A dark seam where the frame meets the glass.
    color *= 1.0 - 0.7 * exp(-edgeDistance / (pixelSize * 1.5));
    return color;
}

vec4 monitorBezelFragment(vec2 pixel)
{
    vec2 size = pictureSize();
    vec2 uv = pixel / size;
    float pixelSize = 1.0 / size.y;
    vec2 point = (uv - 0.5) * vec2(size.x / size.y, 1.0);
    float depth = clamp01(BEZEL_DEPTH);
    float edgeDistance = bezelScreenDistance(point);
    vec2 outward = bezelOutward(point, pixelSize);

    vec3 glass = bezelGlass(point, edgeDistance, outward, depth);
    vec3 frame = bezelFrame(point, uv, max(edgeDistance, 0.0), outward, depth, pixelSize);
    float onFrame = smoothstep(-pixelSize * 0.75, pixelSize * 0.75, edgeDistance);
    return vec4(toDisplay(mix(glass, frame, onFrame)), 1.0);
}
