#include "TilvaneCore/JsonCoding.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace json = tilvane::json;
using Json = nlohmann::json;

TEST(JsonCoding, RefusesWrongTypesNumbersThatDoNotFitAndNullRequiredMembers)
{
    const std::function<void()> refusals[] = {[] { json::toFloat(Json(true), "x"); },
                                              [] { json::toFloat(Json("1"), "x"); },
                                              [] { json::toBool(Json(1), "x"); },
                                              [] { json::toString(Json(1), "x"); },
                                              [] { json::toInteger(Json(false), "x"); },
                                              [] { json::toFloat(Json(1e39), "x"); },
                                              [] { json::toInteger(Json(2.5), "x"); },
                                              [] { json::toInteger(Json(256), "x", 0, 255); },
                                              [] { json::toInteger(Json::parse("18446744073709551616"), "x"); },
                                              [] { json::toInteger(Json::parse("9223372036854775808"), "x"); }};
    for (std::size_t i = 0; i < std::size(refusals); ++i) EXPECT_THROW(refusals[i](), json::DecodingError) << i;
    EXPECT_EQ(json::toInteger(Json(2.0), "x"), 2);
    EXPECT_EQ(json::toInteger(Json(255), "x", 0, 255), 255);
    EXPECT_EQ(json::toFloat(Json(3.4e38), "x"), 3.4e38f);
    const auto object = Json::parse(R"({"a": null, "b": 1})");
    EXPECT_EQ(std::tuple(json::optionalMember(object, "a"), json::optionalMember(object, "c")),
              std::tuple(nullptr, nullptr));
    EXPECT_EQ(json::optionalMember(object, "b"), &object["b"]);
    EXPECT_THROW(json::requiredMember(object, "a"), json::DecodingError);
}

TEST(JsonCoding, FloatsRoundTripBitExactInTheirShortestForm)
{
    for (const float value : {0.1f, 1.0f / 3.0f, -0.0f, 1e-45f, 3.4028235e38f, 123456.7f}) {
        const float back = json::toFloat(Json::parse(Json(json::encodeFloat(value)).dump()), "x");
        EXPECT_EQ(std::signbit(back), std::signbit(value)) << value;
        EXPECT_EQ(back, value) << value;
    }
    EXPECT_EQ(Json(json::encodeFloat(0.1f)).dump(), "0.1");
    for (const float value : {NAN, INFINITY}) EXPECT_THROW(json::encodeFloat(value), json::EncodingError);
}
