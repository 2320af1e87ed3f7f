#include "TilvanePresets/LastSession.hpp"

#include "PresetFixtures.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <set>

namespace tilvane {
namespace {

LastSession validSession()
{
    return LastSession{Url::file("/home/ana/Fotos/gato.png"), testing::plainSettings(), std::nullopt, 2048, 0.5};
}

// "ok", "session" (LastSessionError) or "look" (PersonalPresetError).
std::string outcome(const LastSession& session)
{
    try {
        session.validate();
        return "ok";
    } catch (const LastSessionError& error) {
        EXPECT_EQ(error.errorCase(), LastSessionErrorCase::invalidData);
        EXPECT_STREQ(error.what(), "A última sessão do Tilvane está inválida. O arquivo foi preservado.");
        return "session";
    } catch (const PersonalPresetError& error) {
        EXPECT_EQ(error.errorCase(), PersonalPresetErrorCase::invalidData);
        return "look";
    }
}

struct SessionValidationCase {
    const char* name;
    std::function<void(LastSession&)> change;
    const char* expected;
};

void PrintTo(const SessionValidationCase& row, std::ostream* out) { *out << row.name; }

class LastSessionValidation : public ::testing::TestWithParam<SessionValidationCase> {};

TEST_P(LastSessionValidation, AcceptsOnlyUsableSessions)
{
    LastSession session = validSession();
    GetParam().change(session);
    EXPECT_EQ(outcome(session), GetParam().expected);
}

std::string repeated(const std::string& piece, std::size_t count)
{
    std::string text;
    for (std::size_t index = 0; index < count; ++index) text += piece;
    return text;
}

void setURL(LastSession& session, const char* text) { session.imageURL = *Url::parse(text); }

INSTANTIATE_TEST_SUITE_P(
    Rules, LastSessionValidation,
    ::testing::Values(
        SessionValidationCase{"valid", [](auto&) {}, "ok"},
        SessionValidationCase{"max1024", [](auto& s) { s.maxDimension = 1024; }, "ok"},
        SessionValidationCase{"max4096", [](auto& s) { s.maxDimension = 4096; }, "ok"},
        SessionValidationCase{"max1000", [](auto& s) { s.maxDimension = 1000; }, "session"},
        SessionValidationCase{"max3072", [](auto& s) { s.maxDimension = 3072; }, "session"},
        SessionValidationCase{"max8192", [](auto& s) { s.maxDimension = 8192; }, "session"},
        SessionValidationCase{"fraction0", [](auto& s) { s.compareFraction = 0; }, "ok"},
        SessionValidationCase{"fraction1", [](auto& s) { s.compareFraction = 1; }, "ok"},
        SessionValidationCase{"fractionNegativeZero", [](auto& s) { s.compareFraction = -0.0; }, "ok"},
        SessionValidationCase{"fractionNegative", [](auto& s) { s.compareFraction = -0.01; }, "session"},
        SessionValidationCase{"fractionAboveOne", [](auto& s) { s.compareFraction = 1.01; }, "session"},
        SessionValidationCase{"fractionNaN",
                              [](auto& s) { s.compareFraction = std::numeric_limits<double>::quiet_NaN(); }, "session"},
        SessionValidationCase{"fractionInfinite",
                              [](auto& s) { s.compareFraction = std::numeric_limits<double>::infinity(); }, "session"},
        SessionValidationCase{"preset256", [](auto& s) { s.selectedPresetID = std::string(256, 'p'); }, "ok"},
        SessionValidationCase{"preset257", [](auto& s) { s.selectedPresetID = std::string(257, 'p'); }, "session"},
        SessionValidationCase{"preset256Accented", [](auto& s) { s.selectedPresetID = repeated("e\u0301", 256); }, "ok"},
        SessionValidationCase{"preset257Accented", [](auto& s) { s.selectedPresetID = repeated("é", 257); }, "session"},
        SessionValidationCase{"presetEmpty", [](auto& s) { s.selectedPresetID = ""; }, "ok"},
        SessionValidationCase{"presetNotUtf8", [](auto& s) { s.selectedPresetID = "personal:\xff"; }, "session"},
        SessionValidationCase{"webAddress", [](auto& s) { setURL(s, "https://example.com/gato.png"); }, "session"},
        SessionValidationCase{"fileWithoutPath", [](auto& s) { setURL(s, "file://"); }, "session"},
        SessionValidationCase{"relativeReference", [](auto& s) { setURL(s, "Fotos/gato.png"); }, "session"},
        SessionValidationCase{"fileWithHost", [](auto& s) { setURL(s, "file://localhost/tmp/gato.png"); }, "ok"},
        SessionValidationCase{"invalidLook", [](auto& s) { s.visual.pixelSize = 41; }, "look"},
        SessionValidationCase{"sessionCheckedBeforeLook",
                              [](auto& s) {
                                  s.visual.pixelSize = 41;
                                  s.maxDimension = 3072;
                              },
                              "session"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LastSessionCoding, WritesTheFieldsByName)
{
    LastSession session = validSession();
    auto object = toJson(session);
    std::set<std::string> keys;
    for (const auto& item : object.items()) keys.insert(item.key());
    EXPECT_EQ(keys, (std::set<std::string>{"imageURL", "visual", "maxDimension", "compareFraction"}));
    EXPECT_EQ(object["imageURL"], "file:///home/ana/Fotos/gato.png");

    session.selectedPresetID = "personal:" + Uuid::random().string();
    session.compareFraction = 0.1;
    object = toJson(session);
    EXPECT_EQ(object["selectedPresetID"], *session.selectedPresetID);
    EXPECT_EQ(LastSession::fromJson(nlohmann::json::parse(object.dump())), session);
}

TEST(LastSessionCoding, NullPresetIdIsAbsentAndRequiredKeysFail)
{
    auto object = toJson(validSession());
    object["selectedPresetID"] = nullptr;
    EXPECT_EQ(LastSession::fromJson(object).selectedPresetID, std::nullopt);

    for (const char* key : {"imageURL", "visual", "maxDimension", "compareFraction"}) {
        auto missing = toJson(validSession());
        missing.erase(key);
        EXPECT_THROW(LastSession::fromJson(missing), json::DecodingError) << key;
    }
    const std::pair<const char*, nlohmann::json> wrong[] = {
        {"imageURL", 3},       {"imageURL", "file:///a b"}, {"maxDimension", 2048.5}, {"maxDimension", "2048"},
        {"compareFraction", "0.5"}, {"selectedPresetID", 5},  {"visual", "gameboy"}};
    for (const auto& [key, value] : wrong) {
        auto object = toJson(validSession());
        object[key] = value;
        EXPECT_THROW(LastSession::fromJson(object), json::DecodingError) << key << " = " << value;
    }
}

}  // namespace
}  // namespace tilvane
