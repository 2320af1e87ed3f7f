#include "VemiTerminal/Tokens/VTPalette.hpp"

#define VT_PALETTE_COLOUR(member, red, green, blue, opacity)                      \
    const QColor& VTPalette::member()                                             \
    {                                                                             \
        static const QColor colour = QColor::fromRgbF(red, green, blue, opacity); \
        return colour;                                                            \
    }

VT_PALETTE_COLOUR(vemi, 0.9529f, 0.5255f, 0.6314f, 1.0f)
VT_PALETTE_COLOUR(vemiLight, 0.9529f, 0.5255f, 0.6314f, 0.1f)
VT_PALETTE_COLOUR(ink, 0.1176f, 0.1176f, 0.1176f, 1.0f)
VT_PALETTE_COLOUR(inkMuted, 0.1176f, 0.1176f, 0.1176f, 0.8588f)
VT_PALETTE_COLOUR(paper, 0.9961f, 0.9961f, 0.9961f, 1.0f)
VT_PALETTE_COLOUR(white, 1.0f, 1.0f, 1.0f, 1.0f)
VT_PALETTE_COLOUR(silver, 0.8706f, 0.8706f, 0.8706f, 1.0f)
VT_PALETTE_COLOUR(gray300, 0.7686f, 0.7686f, 0.7686f, 1.0f)
VT_PALETTE_COLOUR(gray600, 0.5216f, 0.5216f, 0.5216f, 0.902f)
VT_PALETTE_COLOUR(sage, 0.6706f, 0.7294f, 0.7255f, 1.0f)
VT_PALETTE_COLOUR(magenta, 0.8314f, 0.3569f, 0.7137f, 1.0f)
VT_PALETTE_COLOUR(teal, 0.0353f, 0.6824f, 0.6314f, 1.0f)
VT_PALETTE_COLOUR(green, 0.0118f, 0.6667f, 0.3608f, 1.0f)
VT_PALETTE_COLOUR(greenSoft, 0.0118f, 0.6667f, 0.3608f, 0.7412f)
VT_PALETTE_COLOUR(scrim, 0.0f, 0.0f, 0.0f, 0.1f)
VT_PALETTE_COLOUR(hairlineDashed, 0.5333f, 0.5333f, 0.5333f, 0.2f)
VT_PALETTE_COLOUR(white16, 1.0f, 1.0f, 1.0f, 0.1608f)
VT_PALETTE_COLOUR(night, 0.0706f, 0.0706f, 0.0706f, 1.0f)
VT_PALETTE_COLOUR(plum, 0.1647f, 0.102f, 0.1255f, 1.0f)
VT_PALETTE_COLOUR(coal, 0.102f, 0.102f, 0.102f, 1.0f)
VT_PALETTE_COLOUR(graphite, 0.2f, 0.2f, 0.2f, 1.0f)
VT_PALETTE_COLOUR(mist, 0.9529f, 0.9333f, 0.9412f, 1.0f)

#undef VT_PALETTE_COLOUR

QColor vtWithOpacity(const QColor& colour, double opacity)
{
    return QColor::fromRgbF(colour.redF(), colour.greenF(), colour.blueF(), static_cast<float>(opacity));
}

QColor vtOver(const QColor& top, const QColor& ground)
{
    const double alpha = top.alphaF();
    const auto mix = [alpha](double upper, double lower) { return upper * alpha + lower * (1 - alpha); };
    return QColor::fromRgbF(static_cast<float>(mix(top.redF(), ground.redF())),
                            static_cast<float>(mix(top.greenF(), ground.greenF())),
                            static_cast<float>(mix(top.blueF(), ground.blueF())));
}
