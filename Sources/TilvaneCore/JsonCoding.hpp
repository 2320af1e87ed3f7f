#pragma once

// Strict helpers for reading and writing the project's JSON documents with nlohmann/json.
// A value of the wrong type fails the document instead of being converted, a number that
// does not fit its target fails instead of being truncated, and floats are written in the
// shortest text that reads back to the same float.

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tilvane::json {

// A document that does not have the expected shape. The message names the offending key.
class DecodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value that cannot be written faithfully (a NaN or infinite float).
class EncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "\"<key>\"<rest>", built by appending: GCC 12 misreads `"literal" + std::string` as an
// overlapping copy (-Wrestrict).
inline std::string quotedKey(std::string_view key, std::string_view rest)
{
    std::string text = "\"";
    text.append(key).append("\"").append(rest);
    return text;
}

template <typename Json>
bool toBool(const Json& value, std::string_view key)
{
    if (!value.is_boolean()) {
        throw DecodingError(quotedKey(key, " deve ser verdadeiro ou falso."));
    }
    return value.template get<bool>();
}

template <typename Json>
double toDouble(const Json& value, std::string_view key)
{
    if (!value.is_number()) {
        throw DecodingError(quotedKey(key, " deve ser um número."));
    }
    const double number = value.template get<double>();
    if (!std::isfinite(number)) {
        throw DecodingError(quotedKey(key, " deve ser um número finito."));
    }
    return number;
}

template <typename Json>
float toFloat(const Json& value, std::string_view key)
{
    const double number = toDouble(value, key);
    // Past the largest float plus half a unit in the last place, the value would round to infinity.
    constexpr double limit = static_cast<double>(std::numeric_limits<float>::max()) + 0x1p103;
    if (std::fabs(number) >= limit) {
        throw DecodingError(quotedKey(key, " está fora do intervalo de um float."));
    }
    return static_cast<float>(number);
}

// An integral number between lower and upper (inclusive); 2.0 counts as 2, 2.5 fails.
template <typename Json>
std::int64_t toInteger(const Json& value, std::string_view key,
                       std::int64_t lower = std::numeric_limits<std::int64_t>::min(),
                       std::int64_t upper = std::numeric_limits<std::int64_t>::max())
{
    const auto outOfRange = [&] {
        return DecodingError(quotedKey(key, " deve ser um número inteiro entre ") + std::to_string(lower) + " e "
                             + std::to_string(upper) + ".");
    };
    std::int64_t integer = 0;
    if (value.is_number_unsigned()) {
        const auto unsignedValue = value.template get<std::uint64_t>();
        if (unsignedValue > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) throw outOfRange();
        integer = static_cast<std::int64_t>(unsignedValue);
    } else if (value.is_number_integer()) {
        integer = value.template get<std::int64_t>();
    } else if (value.is_number_float()) {
        const double number = value.template get<double>();
        // 2^63 is the first double past the int64 range.
        if (!std::isfinite(number) || std::trunc(number) != number || number < -9223372036854775808.0
            || number >= 9223372036854775808.0) {
            throw outOfRange();
        }
        integer = static_cast<std::int64_t>(number);
    } else {
        throw DecodingError(quotedKey(key, " deve ser um número inteiro."));
    }
    if (integer < lower || integer > upper) throw outOfRange();
    return integer;
}

template <typename Json>
std::string toString(const Json& value, std::string_view key)
{
    if (!value.is_string()) {
        throw DecodingError(quotedKey(key, " deve ser um texto."));
    }
    return value.template get<std::string>();
}

template <typename Json>
void requireObject(const Json& value, std::string_view what)
{
    if (!value.is_object()) {
        throw DecodingError(std::string(what) + " deve ser um objeto JSON.");
    }
}

// The member `key` of an object, or nullptr when it is absent or null (keys with a default).
template <typename Json>
const Json* optionalMember(const Json& object, std::string_view key)
{
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
        return nullptr;
    }
    return &*found;
}

template <typename Json>
const Json& requiredMember(const Json& object, std::string_view key)
{
    const Json* member = optionalMember(object, key);
    if (member == nullptr) {
        throw DecodingError(std::string("Falta a chave ").append(quotedKey(key, ".")));
    }
    return *member;
}

// The double whose shortest decimal form is the float's own shortest form, so that
// nlohmann writes 0.1f as 0.1 (not 0.10000000149011612) and reading it back gives the same float.
inline double encodeFloat(float value, std::string_view key = "valor")
{
    if (!std::isfinite(value)) {
        throw EncodingError(quotedKey(key, " não é um número finito."));
    }
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double result = 0;
    std::from_chars(text, written.ptr, result);
    return result;
}

}  // namespace tilvane::json
