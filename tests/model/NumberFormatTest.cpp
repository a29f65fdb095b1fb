// Display patterns and RoundTo: half away from zero on the decimal value the engineer reads.
#include "model/NumberFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <random>
#include <string>
#include <vector>

using namespace pendrake;

TEST(FormatNumber, PrintsAsTheWindowsAndReportDo)
{
    struct Row {
        double Value;
        const char* Pattern;
        const char* Text;
    };
    const Row rows[] = { { 5.9, "#0.#0", "5.90" }, { 30, "#0.0", "30.0" }, { 3, "#0", "3" },
        { 12, "#0 ", "12 " }, { 0.0125, "0.#0%", "1.25%" }, { 0.3333, "#0.##0", "0.333" },
        // half away from zero, both signs
        { 0.125, "#0.#0", "0.13" }, { -0.125, "#0.#0", "-0.13" }, { 2.5, "#0", "3" },
        // the float 2.675f lies below 2.675: it rounds down
        { 2.675f, "#0.#0", "2.67" },
        // a carry through every digit
        { 999.995, "#0.#0", "1000.00" },
        // a tiny negative prints as zero, not "-0.00"
        { -0.004, "#0.#0", "0.00" }, { 123456.789, "#0.#0", "123456.79" },
        { 29.4309, "#0.00", "29.43" }, { 7e-7, "#0.000", "0.000" } };
    for (const Row& r : rows)
        EXPECT_EQ(FormatNumber(r.Value, r.Pattern), r.Text) << r.Value << " as " << r.Pattern;
    EXPECT_THROW(FormatNumber(1.0, "0.00E+00"), std::invalid_argument);
}

TEST(RoundTo, StoresExactlyTheNumberThePrintedDigitsSay)
{
    // Values typed to the place, floats as the record stores them, halves of both signs, their
    // neighbours one ulp away, and large values: the stored double must be the printed text read
    // back, bit for bit, whatever route the rounding takes.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-2e4, 2e4);
    std::vector<double> values { 0.125, -0.125, 2.5, -2.5, 999.995, -0.004, 0.0, 2.675, 1e8 + 0.5,
        4.9999999999999991, 0.30000000000000004, 123456.785, 7e-7, 1e12 + 0.25 };
    for (int k = 0; k < 4000; ++k) {
        const double v = spread(random);
        values.push_back(v);
        values.push_back(double(float(v)));
        const double half = (std::floor(v * 100) + 0.5) / 100;
        values.push_back(half);
        values.push_back(std::nextafter(half, 1e300));
        values.push_back(std::nextafter(half, -1e300));
    }
    for (const double v : values) {
        for (int decimals : { 0, 1, 2, 3, 6 }) {
            const std::string text = FormatFixed(v, decimals);
            const double read = std::strtod(text.c_str(), nullptr);
            const double rounded = RoundTo(v, decimals);
            ASSERT_EQ(std::memcmp(&rounded, &read, sizeof read), 0)
                << std::setprecision(17) << v << " to " << decimals << ": " << rounded << " vs "
                << text;
        }
    }
}

TEST(RoundTo, GivesTheValueToThatManyDecimalsUnderAGermanDesktopLocale)
{
    // A desktop session may run with a decimal comma; stored values must not lose their decimals.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        std::setlocale(LC_NUMERIC, "C.UTF-8");
    EXPECT_DOUBLE_EQ(RoundTo(29.4309, 2), 29.43);
    EXPECT_DOUBLE_EQ(RoundTo(295.6, 0), 296.0);
    EXPECT_DOUBLE_EQ(RoundTo(-1.25, 1), -1.3);
    EXPECT_EQ(FormatNumber(5.9, "#0.#0"), "5.90");
    std::setlocale(LC_NUMERIC, saved.c_str());
}
