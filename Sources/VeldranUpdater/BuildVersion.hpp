#pragma once

#include <QString>
#include <QStringView>

#include <compare>
#include <optional>
#include <vector>

namespace veldran {

// A build number such as "7" or "1.4.12": decimal numbers joined by single dots. Missing trailing
// numbers count as zero, so "1.0" equals "1".
class BuildVersion {
public:
    static std::optional<BuildVersion> parse(QStringView text);

    const QString& text() const noexcept { return text_; }

    friend std::strong_ordering operator<=>(const BuildVersion& lhs, const BuildVersion& rhs);
    friend bool operator==(const BuildVersion& lhs, const BuildVersion& rhs) { return (lhs <=> rhs) == 0; }

private:
    QString text_;
    std::vector<unsigned long long> numbers_;
};

}  // namespace veldran
