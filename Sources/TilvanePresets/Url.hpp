#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tilvane {

// A location as an absolute URL text ("file:///home/ana/Fotos/gato%20preto.png",
// "https://example.com/a.png"). Local files are written with every byte that a URL path cannot
// hold percent-encoded, so any path (spaces, bytes that are not UTF-8) survives the round trip.
class Url {
public:
    // The file URL of `path`; a relative path is first made absolute against the working folder.
    static Url file(const std::filesystem::path& path);

    // The URL of a text of printable ASCII without blanks, whose percent signs each start an
    // escape of two hexadecimal digits; nothing otherwise.
    static std::optional<Url> parse(std::string_view text);

    // The scheme in lower case ("file", "https"), or empty when the text has none.
    std::string scheme() const;
    // The same of any text, a URL or not ("shot-10:20.png": "shot-10").
    static std::string schemeOf(std::string_view text);
    bool isFileURL() const { return scheme() == "file"; }

    // The path part, after the scheme and any "//authority", without query and fragment, decoded.
    std::filesystem::path path() const;

    // The absolute local path of a file URL without a host or on "localhost", its bytes exactly as
    // the URL encodes them; nothing for any other URL, or for a path with a NUL byte ("%00").
    std::optional<std::filesystem::path> localFilePath() const;

    const std::string& string() const { return text_; }

    friend bool operator==(const Url&, const Url&) = default;

private:
    explicit Url(std::string text) : text_(std::move(text)) {}
    // What follows the scheme's colon, and the host between a leading "//" and the next "/" (empty without one).
    std::string_view afterScheme() const;
    std::string_view host() const;

    std::string text_;
};

}  // namespace tilvane
