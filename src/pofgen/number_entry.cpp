#include "pofgen/number_entry.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "core/number_text.h"

namespace torvale {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Far beyond any exponent a 64-bit float can take; keeps the sum below from overflowing.
constexpr long kExponentCap = 100000;

}  // namespace

double ReadBoxNumber(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            compact.push_back(c);
    }

    std::size_t at = 0;
    bool negative = false;
    if (at < compact.size() && (compact[at] == '+' || compact[at] == '-'))
        negative = compact[at++] == '-';

    // The mantissa, rebuilt without its sign for from_chars, which takes none.
    std::string number;
    bool anyDigit = false;
    // The number lies below 10 to the power leadingPlaces (plus the exponent): 123 gives 3, 0.05 gives -1.
    long leadingPlaces = 0;
    bool seenSignificant = false;
    while (at < compact.size() && IsDigit(compact[at])) {
        if (compact[at] != '0')
            seenSignificant = true;
        if (seenSignificant && leadingPlaces < kExponentCap)
            ++leadingPlaces;
        number.push_back(compact[at++]);
        anyDigit = true;
    }
    if (at < compact.size() && compact[at] == '.') {
        number.push_back(compact[at++]);
        while (at < compact.size() && IsDigit(compact[at])) {
            if (compact[at] != '0')
                seenSignificant = true;
            else if (!seenSignificant && leadingPlaces > -kExponentCap)
                --leadingPlaces;
            number.push_back(compact[at++]);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;

    long exponent = 0;
    if (at < compact.size()) {
        const char letter = compact[at];
        if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
            std::size_t look = at + 1;
            bool exponentNegative = false;
            if (look < compact.size() && (compact[look] == '+' || compact[look] == '-'))
                exponentNegative = compact[look++] == '-';
            if (look < compact.size() && IsDigit(compact[look])) {
                while (look < compact.size() && IsDigit(compact[look])) {
                    if (exponent < kExponentCap)
                        exponent = exponent * 10 + (compact[look] - '0');
                    ++look;
                }
                if (exponentNegative)
                    exponent = -exponent;
                number += 'e';
                number += std::to_string(exponent);
            }
        }
    }
    if (!seenSignificant)
        return 0.0;

    double value = 0.0;
    const auto [end, status] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (status == std::errc::result_out_of_range) {
        // The position of the first significant digit tells overflow from underflow.
        const bool overflow = leadingPlaces + exponent > 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (status != std::errc() || end != number.data() + number.size()) {
        value = 0.0;
    }
    if (negative)
        value = -value;
    return value + 0.0;  // turns -0 into 0
}

std::string FormatEightDecimals(double value) {
    std::string text = FormatFixed(value, 8, '.');
    // A negative value that rounds to zero would keep its sign ("-0.00000000").
    if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-')
        text.erase(0, 1);
    return text;
}

std::string FormatRoundedInteger(double value) {
    return FormatFixed(RoundHalfEven(value) + 0.0, 0, '.');
}

}  // namespace torvale
