// Display formats and RoundTo. Rounding is done on the decimal digits of the value, half away
// from zero, so that what the engineer reads is the stored value correctly rounded.
#include "model/NumberFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace pendrake {

namespace {

// Fifteen significant digits: every float and every double result of a short computation is
// told apart from its neighbours, while binary noise such as 0.30000000000000004 is dropped.
constexpr int SignificantDigits = 15;

// Adds one unit in the last kept place of a digit string (no sign, no point).
void IncrementDigits(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::string FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value > 0 ? "Infinity" : "-Infinity");
    if (decimals < 0)
        decimals = 0;

    // to_chars, unlike printf, ignores the process locale: a German desktop keeps the point.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
        std::chars_format::scientific, SignificantDigits - 1);
    // buf: d.dddddddddddddde±XX
    std::string text(buf, res.ptr);
    const auto ePos = text.find('e');
    const int exponent = std::stoi(text.substr(ePos + 1));
    std::string mantissa = text.substr(0, 1) + text.substr(2, ePos - 2); // 15 digits
    const bool negative = std::signbit(value) && value != 0.0;

    // Place the digits so that intDigits of them stand before the point.
    int intDigits = exponent + 1;
    if (intDigits <= 0) {
        mantissa.insert(0, std::string(static_cast<size_t>(1 - intDigits), '0'));
        intDigits = 1;
    }
    if (static_cast<int>(mantissa.size()) < intDigits + decimals + 1)
        mantissa.append(
            static_cast<size_t>(intDigits + decimals + 1 - static_cast<int>(mantissa.size())), '0');

    std::string kept = mantissa.substr(0, static_cast<size_t>(intDigits + decimals));
    if (mantissa[static_cast<size_t>(intDigits + decimals)] >= '5') {
        const size_t before = kept.size();
        IncrementDigits(kept);
        if (kept.size() > before)
            ++intDigits;
    }
    // Leading zeros beyond the one integer digit go.
    while (intDigits > 1 && kept[0] == '0') {
        kept.erase(0, 1);
        --intDigits;
    }

    std::string out = kept.substr(0, static_cast<size_t>(intDigits));
    if (decimals > 0)
        out += "." + kept.substr(static_cast<size_t>(intDigits));
    if (negative && kept.find_first_not_of('0') != std::string::npos)
        out.insert(0, "-");
    return out;
}

std::string FormatNumber(double value, std::string_view pattern)
{
    if (pattern == "#0.#0")
        return FormatFixed(value, 2);
    if (pattern == "#0.0")
        return FormatFixed(value, 1);
    if (pattern == "#0")
        return FormatFixed(value, 0);
    if (pattern == "#0 ")
        return FormatFixed(value, 0) + " ";
    if (pattern == "0.#0%" || pattern == "#0.#0%")
        return FormatFixed(value * 100.0, 2) + "%";
    if (pattern == "#0.##0")
        return FormatFixed(value, 3);
    if (pattern.starts_with("#0.") && pattern.find_first_not_of('0', 3) == std::string_view::npos)
        return FormatFixed(value, static_cast<int>(pattern.size()) - 3);
    throw std::invalid_argument("unknown number format \"" + std::string(pattern) + "\"");
}

double RoundTo(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    // Away from a half, the digits cannot decide otherwise than the nearest whole number of
    // hundredths (or whatever the place): scaling costs a rounding of 1e-7 at most and the
    // fifteen significant digits move the scaled value by 5e-6 at most below the limit, both
    // far inside the margin. Only values within the margin of a half take the digit route.
    // The search rounds every dimension of every candidate, so this matters.
    constexpr double FastLimit = 1e9;
    constexpr double HalfMargin = 1e-4;
    constexpr std::array<double, 10> PowerOfTen
        = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9 };
    const int places = std::max(decimals, 0);
    if (places < int(PowerOfTen.size())) {
        const double scale = PowerOfTen[size_t(places)];
        const double scaled = value * scale;
        const double whole = std::nearbyint(scaled);
        if (std::abs(scaled) < FastLimit && std::abs(scaled - whole) < 0.5 - HalfMargin)
            // The digit route writes no sign on a zero.
            return whole == 0 ? 0.0 : whole / scale;
    }
    const std::string text = FormatFixed(value, decimals);
    double rounded = 0;
    std::from_chars(text.data(), text.data() + text.size(), rounded);
    return rounded;
}

} // namespace pendrake
