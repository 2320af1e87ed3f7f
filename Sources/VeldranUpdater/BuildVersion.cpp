#include "VeldranUpdater/BuildVersion.hpp"

#include <QList>

#include <algorithm>

namespace veldran {
namespace {

// Nine digits keep every number far from overflow.
constexpr qsizetype maximumDigits = 9;

}  // namespace

std::optional<BuildVersion> BuildVersion::parse(QStringView text)
{
    BuildVersion version;
    version.text_ = text.toString();
    for (QStringView part : text.split(u'.')) {
        if (part.isEmpty() || part.size() > maximumDigits
            || !std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
            return std::nullopt;
        }
        version.numbers_.push_back(part.toULongLong());
    }
    return version;
}

std::strong_ordering operator<=>(const BuildVersion& lhs, const BuildVersion& rhs)
{
    const size_t length = std::max(lhs.numbers_.size(), rhs.numbers_.size());
    for (size_t index = 0; index < length; ++index) {
        const unsigned long long left = index < lhs.numbers_.size() ? lhs.numbers_[index] : 0;
        const unsigned long long right = index < rhs.numbers_.size() ? rhs.numbers_[index] : 0;
        if (left != right) {
            return left <=> right;
        }
    }
    return std::strong_ordering::equal;
}

}  // namespace veldran
