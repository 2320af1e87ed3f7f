#include "TestSupport/TextContrast.hpp"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace tilvane::testing {
namespace {

double relativeLuminance(const QColor& colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

QHash<QRgb, int> colourCounts(const QImage& image, const QRect& area)
{
    const QRect inside = area & image.rect();
    QHash<QRgb, int> counts;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) ++counts[image.pixel(x, y) | 0xFF000000u];
    return counts;
}

QRgb mostFrequent(const QHash<QRgb, int>& counts)
{
    return std::max_element(counts.keyValueBegin(), counts.keyValueEnd(),
                            [](auto one, auto other) { return one.second < other.second; })
        ->first;
}

}  // namespace

double contrastRatio(const QColor& first, const QColor& second)
{
    const double one = relativeLuminance(first);
    const double other = relativeLuminance(second);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

QColor groundColour(const QImage& image, const QRect& area)
{
    const auto counts = colourCounts(image, area);
    return counts.isEmpty() ? QColor() : QColor(mostFrequent(counts));
}

QColor inkColour(const QImage& image, const QRect& area)
{
    const auto counts = colourCounts(image, area);
    if (counts.isEmpty()) return {};
    const QColor ground(mostFrequent(counts));
    QColor ink = ground;
    double highest = 1;
    for (auto pixel = counts.keyBegin(); pixel != counts.keyEnd(); ++pixel) {
        const double contrast = contrastRatio(ground, QColor(*pixel));
        if (contrast > highest) {
            highest = contrast;
            ink = QColor(*pixel);
        }
    }
    return ink;
}

double textContrast(const QImage& image, const QRect& area)
{
    if ((area & image.rect()).isEmpty()) return 1;
    return contrastRatio(groundColour(image, area), inkColour(image, area));
}

double outlineContrast(const QImage& image, const QRect& box)
{
    struct Edge {
        QPoint outermost, inward;
    };
    const QPoint centre = box.center();
    const Edge edges[] = {{{box.left(), centre.y()}, {1, 0}},
                          {{box.right(), centre.y()}, {-1, 0}},
                          {{centre.x(), box.top()}, {0, 1}},
                          {{centre.x(), box.bottom()}, {0, -1}}};
    const auto colourAt = [&image](QPoint at) { return QColor(image.pixel(at)); };
    double weakest = 21;
    for (const Edge& edge : edges) {
        const QColor outside = colourAt(edge.outermost - 2 * edge.inward);
        const QColor fill = colourAt(edge.outermost + 2 * edge.inward);
        double strongest = 1;
        for (const QPoint line : {edge.outermost, edge.outermost + edge.inward}) {
            const QColor outline = colourAt(line);
            strongest = std::max(strongest, std::min(contrastRatio(outline, outside), contrastRatio(outline, fill)));
        }
        weakest = std::min(weakest, strongest);
    }
    return weakest;
}

}  // namespace tilvane::testing
