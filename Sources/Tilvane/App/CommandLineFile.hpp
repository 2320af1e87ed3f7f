#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace tilvane {

// The file a command-line argument names (its bytes as given), made absolute against `workingFolder`; nothing for
// an empty argument or an address of something other than a file. The name is not resolved: "link/../p.png" names
// "p.png" in the folder above the link's target, as it does for every other program.
//
// An argument is an address when it starts with "file:" (in any case and any form) or with a scheme followed by
// "://" ("https://example.com/a.png"); every other argument is a name, colons and all. A colon alone cannot mark an
// address: a file here may well be called "shot-10:20.png", "a:b" or "C:foo", and desktops pass addresses with "//".
//
// A file address of a local file names that file ("file:///tmp/gato%20preto.png": "/tmp/gato preto.png"). One that
// names no local file ("file://servidor/gato.png", "file:///tmp/a%00b.png") is looked for as typed in the working
// folder, where no such file is: the window says it cannot read it, and no other file ("/tmp/a") opens in its place.
std::optional<std::filesystem::path> commandLineFile(std::string_view argument,
                                                     const std::filesystem::path& workingFolder);

}  // namespace tilvane
