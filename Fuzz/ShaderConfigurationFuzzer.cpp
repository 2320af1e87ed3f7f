// A shader configuration as JSON (it arrives inside presets, sessions and imported documents).

#include "FuzzSupport.hpp"

#include "TilvaneCore/JsonCoding.hpp"

#include "TilvaneShaders/Model/ShaderConfiguration.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tilvane;
    const auto text = fuzz::bytesOf(data, size);
    const auto document = nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
    if (document.is_discarded()) {
        return 0;
    }
    ShaderConfiguration configuration;
    try {
        configuration = ShaderConfiguration::fromJson(document);
    } catch (const json::DecodingError&) {
        return 0;
    }
    try {
        fuzz::require(ShaderConfiguration::fromJson(toJson(configuration)) == configuration,
                      "a decoded configuration did not survive encoding");
    } catch (const json::EncodingError&) {
        // A float that JSON cannot hold (from a huge literal) is refused when writing, as it must be.
    }
    return 0;
}
