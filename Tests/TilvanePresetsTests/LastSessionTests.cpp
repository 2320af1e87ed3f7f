#include "TilvanePresets/LastSession.hpp"

#include "TestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace tilvane {
namespace {

// "ok", "session" (LastSessionError) or "look" (PersonalPresetError).
std::string outcome(const LastSession& session)
{
    try {
        session.validate();
        return "ok";
    } catch (const LastSessionError& error) {
        EXPECT_STREQ(error.what(), "A última sessão do Tilvane está inválida. O arquivo foi preservado.");
        return "session";
    } catch (const PersonalPresetError& error) {
        return "look";
    }
}

std::string repeated(const std::string& piece, std::size_t count)
{
    std::string text;
    while (count-- > 0) text += piece;
    return text;
}

void setURL(LastSession& session, const char* text) { session.imageURL = *Url::parse(text); }

TEST(LastSession, ValidateChecksEveryRule)
{
    const struct {
        const char* name;
        void (*change)(LastSession&);
        const char* expected;
    } rows[] = {
        {"max1024", [](auto& s) { s.maxDimension = 1024; }, "ok"},
        {"max2048", [](auto& s) { s.maxDimension = 2048; }, "ok"},
        {"max4096", [](auto& s) { s.maxDimension = 4096; }, "ok"},
        {"max1000", [](auto& s) { s.maxDimension = 1000; }, "session"},
        {"max3072", [](auto& s) { s.maxDimension = 3072; }, "session"},
        {"fraction0", [](auto& s) { s.compareFraction = 0; }, "ok"},
        {"fraction1", [](auto& s) { s.compareFraction = 1; }, "ok"},
        {"fractionNegative", [](auto& s) { s.compareFraction = -0.01; }, "session"},
        {"fractionAboveOne", [](auto& s) { s.compareFraction = 1.01; }, "session"},
        {"fractionNaN", [](auto& s) { s.compareFraction = std::nan(""); }, "session"},
        {"preset256Graphemes", [](auto& s) { s.selectedPresetID = repeated("e\u0301", 255) + "👨\u200D👩\u200D👧"; }, "ok"},
        {"preset257Graphemes", [](auto& s) { s.selectedPresetID = repeated("é", 257); }, "session"},
        {"presetNotUtf8", [](auto& s) { s.selectedPresetID = "personal:\xff"; }, "session"},
        {"webAddress", [](auto& s) { setURL(s, "https://example.com/gato.png"); }, "session"},
        {"fileWithoutPath", [](auto& s) { setURL(s, "file://"); }, "session"},
        {"relativeReference", [](auto& s) { setURL(s, "Fotos/gato.png"); }, "session"},
        {"invalidLook", [](auto& s) { s.visual.pixelSize = 41; }, "look"},
        {"sessionCheckedFirst", [](auto& s) { s.visual.pixelSize = 41, s.maxDimension = 3072; }, "session"},
    };
    for (const auto& row : rows) {
        LastSession session{Url::file("/home/ana/gato.png"), testing::plainSettings(), std::nullopt, 2048, 0.5};
        row.change(session);
        EXPECT_EQ(outcome(session), row.expected) << row.name;
    }
}

}  // namespace
}  // namespace tilvane
