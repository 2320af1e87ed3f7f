// The last-session file as the store finds it on disk; what loads must save and load again unchanged.

#include "FuzzSupport.hpp"

#include "TilvaneCore/JsonCoding.hpp"

#include "TilvanePresets/LastSessionStore.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tilvane;
    const LastSessionStore store(fuzz::writeInput("last-session.json", fuzz::bytesOf(data, size)));
    std::optional<LastSession> session;
    try {
        session = store.load();
    } catch (const LastSessionError&) {
        return 0;
    } catch (const PersonalPresetError&) {
        return 0;  // the session's look is invalid
    }
    fuzz::require(session.has_value(), "an existing file loaded as no session");
    try {
        store.save(*session);
    } catch (const json::EncodingError&) {
        return 0;  // a float too large for JSON, read from a huge literal, is refused when writing
    }
    fuzz::require(store.load() == session, "a loaded session did not survive saving");
    return 0;
}
