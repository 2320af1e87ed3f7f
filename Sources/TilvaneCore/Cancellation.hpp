#pragma once

#include <exception>
#include <stop_token>

namespace tilvane {

// Thrown by long operations when the caller's stop token asks them to stop.
class CancellationError : public std::exception {
public:
    const char* what() const noexcept override { return "A operação foi cancelada."; }
};

inline void throwIfCancelled(const std::stop_token& token)
{
    if (token.stop_requested()) {
        throw CancellationError();
    }
}

}  // namespace tilvane
