// The soil pressure calculator's window against hand-worked Rankine values, its water-table clamp,
// slope message and print hook. Its entry boxes are in EntryBoxTest.
#include "ui/frmCalculator.h"

#include "calculator/CalculatorComputation.h"
#include "support/Widgets.h"

#include <gtest/gtest.h>

#include <memory>

namespace pendrake::ui {
namespace {

using namespace uitest;

std::unique_ptr<CalculatorWindow> OpenWindow(const Project& p = MakeNewProject("Arial"))
{
    auto window = std::make_unique<CalculatorWindow>(p);
    ShowActive(*window);
    return window;
}

QLineEdit* Box(const QWidget& window, int index)
{
    return At(window, "txtValue", index);
}

void TypeAndLeave(const QWidget& window, int index, const QString& text)
{
    uitest::TypeAndLeave(Box(window, index), text);
}

// The input boxes, in the order of the window.
constexpr int WetDensity = 0, SatDensity = 1, WaterDensity = 2, FrictionAngle = 3, SoilSlope = 5,
              WallFriction = 6, WallInclination = 7, SoilDepth = 8, WaterDepth = 9, Surcharge = 10,
              SeismicCoefficient = 11;

TEST(CalculatorWindow, OpensWithTheProjectsValuesAndRecomputesWhatIsTyped)
{
    Capture capture;
    auto window = OpenWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Pendrake: Calculator"));
    // theta = atan(0.9 / 6.0) = 8.5308 degrees; a level backfill opens the slope box with 0.
    const std::vector<const char*> expected = { "1.70", "1.90", "1.00", "30.00", "0.00", "0.00",
        "15.00", "8.53", "6.00", "1.50", "1.00", "0.15" };
    const std::vector<const char*> units
        = { "t/m³", "t/m³", "t/m³", "°", "kg/cm²", "°", "°", "°", "m", "m", "T/m²", "" };
    for (int i = 0; i < CalculatorInputCount; ++i) {
        EXPECT_EQ(Box(*window, i)->text(), QString::fromLatin1(expected[size_t(i)])) << i;
        EXPECT_EQ(Text(*window, "lblUnit", i), QString::fromUtf8(units[size_t(i)])) << i;
    }
    EXPECT_EQ(Text(*window, "lblUnitResultB", 1), QStringLiteral("T/m²"));
    EXPECT_EQ(Text(*window, "lblUnitResultB", 4), QStringLiteral("T/m"));
    // theta + delta = 8.53 + 15.
    EXPECT_EQ(Text(*window, "lblResult", 0), QStringLiteral("23.53"));

    // A dry Rankine case: phi = 30, no wall friction, vertical back, level soil, kh = 0.15,
    // gamma = gamma sat = 2, gamma w = 1, h = 6, no surcharge.
    const std::pair<int, const char*> typed[] = { { FrictionAngle, "30" }, { WallFriction, "0" },
        { WallInclination, "0" }, { SoilSlope, "0" }, { SeismicCoefficient, "0.15" },
        { WetDensity, "2" }, { SatDensity, "2" }, { WaterDensity, "1" }, { SoilDepth, "6" },
        { WaterDepth, "6" }, { Surcharge, "0" } };
    for (const auto& [index, text] : typed)
        TypeAndLeave(*window, index, QString::fromLatin1(text));
    EXPECT_EQ(capture.Beeps, 0);
    EXPECT_TRUE(capture.Messages.empty());

    // Rankine: Ka = 1/3, Kp = 3, K0 = 1 - sin 30 = 0.5, each coefficient to three decimals.
    EXPECT_EQ(Text(*window, "lblResultA1", 0), QStringLiteral("0.333"));
    EXPECT_EQ(Text(*window, "lblResultP1", 0), QStringLiteral("3.000"));
    EXPECT_EQ(Text(*window, "lblResultR", 0), QStringLiteral("0.500"));
    // Dry soil: Pa = Ka gamma h = 4 at the bottom, Fa = 4 x 6 / 2 = 12 acting 4 below the top.
    EXPECT_EQ(Text(*window, "lblResultA1", 3), QStringLiteral("4.00"));
    EXPECT_EQ(Text(*window, "lblResultA1", 8), QStringLiteral("12.00"));
    EXPECT_EQ(Text(*window, "lblResultA1", 9), QStringLiteral("4.00"));
    EXPECT_EQ(Text(*window, "lblResult", 2), QStringLiteral("0.00"));

    // Water table 2 below the top: Ka gamma hw = 1.33 there, + Ka (2 - 1) 4 = 2.67 at the
    // bottom; the water presses 4 x 1 = 4 at the bottom, 4 x 4 / 2 = 8 in all, at 2 + 8/3.
    TypeAndLeave(*window, WaterDepth, QStringLiteral("2"));
    EXPECT_EQ(Text(*window, "lblResultA1", 2), QStringLiteral("1.33"));
    EXPECT_EQ(Text(*window, "lblResultA1", 3), QStringLiteral("2.67"));
    EXPECT_EQ(Text(*window, "lblResult", 1), QStringLiteral("4.00"));
    EXPECT_EQ(Text(*window, "lblResult", 2), QStringLiteral("8.00"));
    EXPECT_EQ(Text(*window, "lblResult", 3), QStringLiteral("4.67"));
    // Under earthquake the ordinate steps at the water table: shown above/below.
    EXPECT_TRUE(Text(*window, "lblResultA2", 2).contains(QLatin1Char('/')));

    // Much wall friction earns a caution beside the results, never a message box.
    const auto* notes = Find<QLabel>(*window, QStringLiteral("lblNotes"));
    for (const auto& [delta, cautioned] :
        { std::pair { "10", false }, std::pair { "10.5", true } }) {
        TypeAndLeave(*window, WallFriction, QString::fromLatin1(delta));
        EXPECT_EQ(notes->isVisible(), cautioned) << delta;
        EXPECT_EQ(notes->text().contains(QStringLiteral("overestimates the resistance")), cautioned)
            << delta;
    }
    EXPECT_TRUE(capture.Messages.empty());

    // A water table below the soil is put at its bottom; a shallower soil pulls it up with it.
    TypeAndLeave(*window, WaterDepth, QStringLiteral("99"));
    EXPECT_EQ(Box(*window, WaterDepth)->text(), QStringLiteral("6.00"));
    EXPECT_FLOAT_EQ(window->Input().WaterDepth, 6.0f);
    TypeAndLeave(*window, SoilDepth, QStringLiteral("4"));
    EXPECT_EQ(Box(*window, WaterDepth)->text(), QStringLiteral("4.00"));
    EXPECT_FLOAT_EQ(window->Input().WaterDepth, 4.0f);
    EXPECT_EQ(capture.Beeps, 0);

    // A slope steeper than phi = 30 is adjusted (the results are the calculator's own tests);
    // without an earthquake only the static check speaks, titled like the window.
    TypeAndLeave(*window, SeismicCoefficient, QStringLiteral("0"));
    TypeAndLeave(*window, SoilSlope, QStringLiteral("40"));
    ASSERT_EQ(capture.Messages.size(), 1u);
    EXPECT_EQ(capture.Messages[0].Title, QStringLiteral("Pendrake: Calculator"));
    EXPECT_EQ(capture.Messages[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(capture.Messages[0].Text,
        QStringLiteral(
            "The soil slope is steeper than the internal friction angle. Soil slope adjusted"));
    // The box keeps the typed slope, so the next computation says it again.
    EXPECT_EQ(Box(*window, SoilSlope)->text(), QStringLiteral("40.00"));
    TypeAndLeave(*window, Surcharge, QStringLiteral("2"));
    EXPECT_EQ(capture.Messages.size(), 2u);
}

TEST(CalculatorWindow, PrintWaitsForItsPrintJobAndTakesTheEntryInItsBox)
{
    Capture capture;
    EXPECT_FALSE(Button(*OpenWindow(), "Command2")->isEnabled()) << "no print job, no printing";
    int printed = 0;
    QString caption;
    float surcharge = 0;
    SetCalculatorPrintHandler(
        [&](QWidget* w, const Project&, const CalculatorInput& input, const CalculatorResult&) {
            ++printed;
            caption = w->windowTitle();
            surcharge = input.SurchargeLoad;
        });
    auto window = OpenWindow();
    TypeInto(Box(*window, Surcharge), QStringLiteral("3"));
    QTest::mouseClick(Button(*window, "Command2"), Qt::LeftButton);
    SetCalculatorPrintHandler({});
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(caption, QStringLiteral("Pendrake: Calculator (Printing .....)"));
    EXPECT_EQ(surcharge, 3.0f);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Pendrake: Calculator"));
}

} // namespace
} // namespace pendrake::ui
