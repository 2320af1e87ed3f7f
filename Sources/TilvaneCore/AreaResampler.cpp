#include "TilvaneCore/AreaResampler.hpp"

#include "TilvaneCore/ParallelRows.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tilvane {

namespace {

// Source pixels per thread below which another thread costs more than it saves.
constexpr std::size_t sourcePixelsPerThread = 1 << 18;

// How the pixels of one axis of length sourceLength cover the pixels of an axis of length
// destinationLength. Lengths are measured in units of 1 / destinationLength source pixel, so
// each destination pixel spans sourceLength units, each source pixel destinationLength units,
// and every share is a whole number of units.
class AxisCoverage {
public:
    AxisCoverage(int sourceLength, int destinationLength) : sourceLength_(sourceLength)
    {
        const auto source = static_cast<std::int64_t>(sourceLength);
        const auto destination = static_cast<std::int64_t>(destinationLength);
        spans_.reserve(static_cast<std::size_t>(destinationLength));
        for (std::int64_t output = 0; output < destination; ++output) {
            const std::int64_t start = output * source;
            const std::int64_t end = start + source;
            const std::int64_t first = start / destination;
            const std::int64_t last = (end - 1) / destination;
            spans_.push_back({static_cast<int>(first), static_cast<int>(last - first + 1), weights_.size()});
            for (std::int64_t input = first; input <= last; ++input) {
                const std::int64_t covered =
                    std::min((input + 1) * destination, end) - std::max(input * destination, start);
                weights_.push_back(static_cast<float>(covered));
            }
        }
    }

    struct Span {
        int first;  // first source pixel
        int count;  // source pixels touched
        std::size_t weightIndex;
    };

    const Span& span(std::size_t output) const noexcept { return spans_[output]; }
    const float* weights(const Span& span) const noexcept { return weights_.data() + span.weightIndex; }
    // The sum of the weights of every span.
    double total() const noexcept { return sourceLength_; }

private:
    int sourceLength_;
    std::vector<Span> spans_;
    std::vector<float> weights_;
};

void resampleRows(const Image& source, Bitmap& destination, const AxisCoverage& columns, const AxisCoverage& rows,
                  std::size_t firstRow, std::size_t endRow)
{
    const std::size_t channelsPerSourceRow = static_cast<std::size_t>(source.width()) * 4;
    const double area = columns.total() * rows.total();
    std::vector<float> columnSums(channelsPerSourceRow);
    for (std::size_t y = firstRow; y < endRow; ++y) {
        // Weighted sum of the covered source rows, per source column and channel.
        const auto& rowSpan = rows.span(y);
        const float* rowWeights = rows.weights(rowSpan);
        std::fill(columnSums.begin(), columnSums.end(), 0.0f);
        for (int i = 0; i < rowSpan.count; ++i) {
            const std::uint8_t* sourceRow = source.row(rowSpan.first + i);
            const float weight = rowWeights[i];
            float* sums = columnSums.data();
            for (std::size_t k = 0; k < channelsPerSourceRow; ++k) {
                sums[k] += weight * static_cast<float>(sourceRow[k]);
            }
        }
        // Weighted sum of the covered columns, then the mean rounded to the nearest integer.
        std::uint8_t* out = destination.row(static_cast<int>(y));
        for (int x = 0; x < destination.width(); ++x) {
            const auto& columnSpan = columns.span(static_cast<std::size_t>(x));
            const float* columnWeights = columns.weights(columnSpan);
            const float* sums = columnSums.data() + static_cast<std::size_t>(columnSpan.first) * 4;
            double channels[4] = {0, 0, 0, 0};
            for (int i = 0; i < columnSpan.count; ++i) {
                const double weight = columnWeights[i];
                for (int c = 0; c < 4; ++c) {
                    channels[c] += weight * sums[i * 4 + c];
                }
            }
            for (int c = 0; c < 4; ++c) {
                const double mean = channels[c] / area + 0.5;
                out[x * 4 + c] = static_cast<std::uint8_t>(std::min(mean, 255.0));
            }
        }
    }
}

}  // namespace

void resampleByAreaAverage(const Image& image, Bitmap& destination)
{
    const ImagePointer premultiplied = image.premultiplied();
    const Image& source = *premultiplied;
    const AxisCoverage columns(source.width(), destination.width());
    const AxisCoverage rows(source.height(), destination.height());
    const std::size_t sourcePixelsPerRow =
        static_cast<std::size_t>(source.width()) * static_cast<std::size_t>(source.height()) / destination.height() + 1;
    forEachRowRange(
        static_cast<std::size_t>(destination.height()), sourcePixelsPerRow, sourcePixelsPerThread,
        [&](std::size_t begin, std::size_t end) { resampleRows(source, destination, columns, rows, begin, end); });
}

}  // namespace tilvane
