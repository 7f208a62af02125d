#include "core/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace torvale {

std::string FormatInteger(std::int64_t value) {
    return std::to_string(value);
}

std::string FormatSingle(float value, char separator) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Inf" : "Inf";
    if (value == 0.0f)
        return "0";

    // Round to seven significant digits first; the exponent after rounding decides the form, so 9999999.5
    // becomes 1E+07 rather than 10000000.
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6e", static_cast<double>(value));
    const std::string_view text(buffer);
    const auto ePos = text.find('e');
    const bool negative = text.front() == '-';
    std::string digits;  // the seven significant digits without the point
    for (char c : text.substr(0, ePos))
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    const int exponent = std::atoi(buffer + ePos + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= 7) {
        out += digits[0];
        if (digits.size() > 1) {
            out += separator;
            out.append(digits, 1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            out += '0';
        out += std::to_string(magnitude);
        return out;
    }
    if (exponent < 0) {
        out += '0';
        out += separator;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
        out += digits;
        out.append(whole - digits.size(), '0');
    } else {
        out.append(digits, 0, whole);
        out += separator;
        out.append(digits, whole);
    }
    return out;
}

std::string FormatFixed(double value, int decimals, char separator) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string out(buffer);
    if (separator != '.') {
        const auto point = out.find('.');
        if (point != std::string::npos)
            out[point] = separator;
    }
    return out;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string HexEscape(char c) {
    static const char* const kDigits = "0123456789ABCDEF";
    const auto code = static_cast<unsigned char>(c);
    return std::string("\\x") + kDigits[code >> 4] + kDigits[code & 0x0F];
}

}  // namespace torvale
