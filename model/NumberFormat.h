// Display formats of values in the windows and the report, and RoundTo, which the unit
// conversion uses to keep stored values at the decimals they are shown with.
#pragma once

#include <string>
#include <string_view>

namespace pendrake {

// Formats value with one of the display patterns: "#0.#0", "#0.0", "#0", "#0 ", "0.#0%",
// "#0.#0%", "#0.##0", or "#0." followed by n zeros. Rounds half away from zero on the decimal
// value as it prints (so 0.125 gives 0.13 and 2.675f, stored a hair below, gives 2.67).
// A negative value that rounds to zero prints without its sign.
std::string FormatNumber(double value, std::string_view pattern);

// The value rounded to `decimals` decimals, through its text as "#0.000..." formats it.
double RoundTo(double value, int decimals);

// Decimal rounding half away from zero, the arithmetic behind both functions above.
std::string FormatFixed(double value, int decimals);

} // namespace pendrake
