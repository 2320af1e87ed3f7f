#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veldran {

// The parts of a crash-reporting DSN ("https://<public key>@<host>/<project>"), split without
// normalising anything, so that every rule can be checked on the text as written.
struct Dsn {
    std::string scheme;
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::string host;
    std::optional<std::string> port;
    std::string path;

    // Nothing when the text is not an absolute URL with an authority.
    static std::optional<Dsn> parse(std::string_view text);

    // The last component of the path ("" for a path that ends in "/" or is empty).
    std::string lastPathComponent() const;

    friend bool operator==(const Dsn&, const Dsn&) = default;
};

}  // namespace veldran
