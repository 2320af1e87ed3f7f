#pragma once

#include <exception>

namespace tilvane {

// The exception of one error enumeration. Each enumeration declares, next to itself,
//     const char* message(Case) noexcept;
// giving the Portuguese text of every case; what() returns it.
template <typename Case>
class EnumeratedError : public std::exception {
public:
    explicit EnumeratedError(Case errorCase) noexcept : errorCase_(errorCase) {}

    Case errorCase() const noexcept { return errorCase_; }
    const char* what() const noexcept override { return message(errorCase_); }

    friend bool operator==(const EnumeratedError& lhs, const EnumeratedError& rhs) noexcept
    {
        return lhs.errorCase_ == rhs.errorCase_;
    }

private:
    Case errorCase_;
};

}  // namespace tilvane
