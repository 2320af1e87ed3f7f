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

double textContrast(const QImage& image, const QRect& area)
{
    const auto counts = colourCounts(image, area);
    if (counts.isEmpty()) return 1;
    const QColor ground(mostFrequent(counts));
    double highest = 1;
    for (auto pixel = counts.keyBegin(); pixel != counts.keyEnd(); ++pixel)
        highest = std::max(highest, contrastRatio(ground, QColor(*pixel)));
    return highest;
}

}  // namespace tilvane::testing
