// Without libFuzzer, each harness is a plain program that runs every file under the folders (or files)
// given on its command line through LLVMFuzzerTestOneInput once, so that the seed corpus and every
// input that once crashed keep being tried by the ordinary test run.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsUnder(const std::filesystem::path& root)
{
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_regular_file(root)) {
        inputs.push_back(root);
    } else if (std::filesystem::is_directory(root)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
                inputs.push_back(entry.path());
            }
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

}  // namespace

int main(int argc, char** argv)
{
    std::size_t replayed = 0;
    for (int index = 1; index < argc; ++index) {
        for (const auto& input : inputsUnder(argv[index])) {
            std::ifstream stream(input, std::ios::binary);
            const std::vector<char> bytes(std::istreambuf_iterator<char>(stream), {});
            std::printf("replaying %s (%zu bytes)\n", input.c_str(), bytes.size());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    // A seed corpus that went missing must not pass as a replay of nothing.
    return replayed > 0 ? 0 : 1;
}
