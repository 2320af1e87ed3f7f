#include "TilvaneCore/JsonCoding.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace json = tilvane::json;
using Json = nlohmann::json;

TEST(JsonCoding, RefusesWrongTypesNumbersThatDoNotFitAndNullRequiredMembers)
{
    EXPECT_THROW(json::toFloat(Json(true), "x"), json::DecodingError);
    EXPECT_THROW(json::toFloat(Json("1"), "x"), json::DecodingError);
    EXPECT_THROW(json::toBool(Json(1), "x"), json::DecodingError);
    EXPECT_THROW(json::toString(Json(1), "x"), json::DecodingError);
    EXPECT_THROW(json::toInteger(Json(false), "x"), json::DecodingError);
    EXPECT_THROW(json::toFloat(Json(1e39), "x"), json::DecodingError);
    EXPECT_THROW(json::toInteger(Json(2.5), "x"), json::DecodingError);
    EXPECT_THROW(json::toInteger(Json(256), "x", 0, 255), json::DecodingError);
    EXPECT_THROW(json::toInteger(Json::parse("18446744073709551616"), "x"), json::DecodingError);
    EXPECT_THROW(json::toInteger(Json::parse("9223372036854775808"), "x"), json::DecodingError);
    EXPECT_EQ(json::toInteger(Json(2.0), "x"), 2);
    EXPECT_EQ(json::toInteger(Json(255), "x", 0, 255), 255);
    EXPECT_EQ(json::toFloat(Json(3.4e38), "x"), 3.4e38f);
    const auto object = Json::parse(R"({"a": null, "b": 1})");
    EXPECT_EQ(json::optionalMember(object, "a"), nullptr);
    EXPECT_EQ(json::optionalMember(object, "c"), nullptr);
    EXPECT_NE(json::optionalMember(object, "b"), nullptr);
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
    EXPECT_THROW(json::encodeFloat(NAN), json::EncodingError);
    EXPECT_THROW(json::encodeFloat(INFINITY), json::EncodingError);
}
