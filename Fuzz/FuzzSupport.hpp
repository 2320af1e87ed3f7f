#pragma once

// Shared by the fuzz harnesses: a private scratch folder, writing an input to a file in it, and a
// check that stops the run (a crash that libFuzzer records) when a harness's own invariant fails.

#include "TestSupport/TemporaryFolder.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tilvane::fuzz {

// A folder of this process's own under the temporary folder, made once, kept for the run and removed
// when the process ends normally (a crash keeps it, with the input that caused it).
inline const std::filesystem::path& scratchFolder()
{
    static const testing::TemporaryFolder folder;
    return folder.path();
}

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Replaces the file `name` in the scratch folder with `bytes` and gives its path.
inline std::filesystem::path writeInput(const std::string& name, std::string_view bytes)
{
    const auto path = scratchFolder() / name;
    std::filesystem::remove_all(path);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Stops the run when an invariant of the code under test does not hold.
inline void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace tilvane::fuzz
