// The stability window: each value in its place with its unit, the blanks of an unstable wall,
// "--" for anchors without tension, the infinity sign, the eccentricity comparisons, the notes.
#include "ui/StabilityWindow.h"
#include "analysis/Stability.h"
#include "model/NumberFormat.h"
#include "model/Project.h"
#include "model/Units.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <string>

namespace pendrake::ui {
namespace {

const QString Infinity = QString(QChar(0x221E));
// A value shown with two decimals is within half a unit of its last digit of the true value.
constexpr double ShownRounding = 0.005;

QString Text(const StabilityWindow& w, const char* name)
{
    const auto* label = w.findChild<QLabel*>(QStringLiteral("lbl") + QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
}

std::string Shown(double v)
{
    return FormatNumber(v, "#0.#0");
}

// A stable wall of round numbers, in Metric, with the default anchors.
StabilityResults StableResults()
{
    StabilityResults r;
    r.Stable = true;
    r.ResultantDefined = true;
    r.TotalVertical = 100;
    r.TotalHorizontal = -30;
    r.TotalMoment = 250;
    r.ResultantX = 2.5f;
    r.BaseSpan = 7.3f;
    r.MidbaseEccentricity = -1.15f;
    r.MidbaseMoment = -115;
    r.BasePressureMax = 20;
    r.BasePressureMin = 5;
    r.BearingSafetyMin = 3;
    r.SlidingShear = 4;
    r.SlidingResistance = 10;
    r.SlidingSafetyMin = 2.5f;
    r.AnchorTensionSafety = float(InfiniteSafety);
    r.AnchorShearSafety = float(InfiniteSafety);
    return r;
}

const char* const AnchorValues[] = { "AnchorTensionMax", "AnchorTensionStress",
    "AnchorTensionSafety", "AnchorShearMax", "AnchorShearStress", "AnchorShearSafety" };

TEST(StabilityWindow, DefaultProjectShowsTheEnginesNumbers)
{
    Project p = MakeNewProject("Liberation Sans");
    const StabilityResults r = ComputeStability(p);
    StabilityWindow w(p, r, QStringLiteral("Liberation Sans"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Pendrake: Stability"));

    const std::map<std::string, float> values
        = { { "TotalVertical", r.TotalVertical }, { "TotalHorizontal", r.TotalHorizontal },
              { "TotalMoment", r.TotalMoment }, { "MidbaseMoment", r.MidbaseMoment },
              { "ResultantX", r.ResultantX }, { "MidbaseEccentricity", r.MidbaseEccentricity } };
    for (const auto& [name, value] : values)
        EXPECT_EQ(Text(w, name.c_str()).toStdString(), Shown(value)) << name;

    // The default wall (0.5 + 0.9 + 5.9 wide at the top, 7.3 at the base) stands.
    ASSERT_TRUE(r.Stable);
    EXPECT_EQ(Text(w, "BasePressureMax").toStdString(), Shown(r.BasePressureMax));
    EXPECT_EQ(Text(w, "BasePressureMin").toStdString(), Shown(r.BasePressureMin));
    EXPECT_EQ(Text(w, "SlidingShear").toStdString(), Shown(r.SlidingShear));
    EXPECT_EQ(Text(w, "SlidingResistance").toStdString(), Shown(r.SlidingResistance));

    // Base span 1.0 + 3.0 + 1.4 + 1.5 + 1.4 = 8.3: a sixth is 1.38, a third 2.77.
    const QString check = w.findChild<QLabel*>(QStringLiteral("lblEccentricityCheck"))->text();
    EXPECT_TRUE(check.contains(QStringLiteral("B/6 = 1.38, "))
        && check.endsWith(QStringLiteral("B/3 = 2.77")))
        << check.toStdString();

    const std::map<std::string, QString> units = { { "TotalVerticalUnit", QStringLiteral("T") },
        { "TotalMomentUnit", QStringLiteral("Tm") }, { "ResultantXUnit", QStringLiteral("m") },
        { "BasePressureMaxUnit", QStringLiteral("T/m²") },
        { "SlidingShearUnit", QStringLiteral("T/m²") },
        { "AnchorTensionMaxUnit", QStringLiteral("T") },
        { "AnchorTensionStressUnit", QStringLiteral("kg/cm²") },
        { "BearingSafetyMinUnit", QString() } };
    for (const auto& [name, unit] : units)
        EXPECT_EQ(Text(w, name.c_str()), unit) << name;

    if (r.AnchorTensionMax != 0) {
        // One anchor of 2.0 cm: 3.1416 cm² carries the tension, 1 T = 1000 kg.
        constexpr double KgPerTonne = 1000.0;
        const double area = std::numbers::pi / 4 * 2.0 * 2.0;
        EXPECT_NEAR(Text(w, "AnchorTensionStress").toDouble(),
            r.AnchorTensionMax * KgPerTonne / area, 2 * ShownRounding);
    } else {
        for (const char* name : AnchorValues)
            EXPECT_EQ(Text(w, name), QStringLiteral("--")) << name;
    }
    EXPECT_EQ(Text(w, "PerLength"), QStringLiteral("Per 1 m of wall length."));

    // Kept for a look at the layout, not compared: fonts differ between machines.
    QDir().mkpath(QStringLiteral(PENDRAKE_TEST_OUTPUT_DIR));
    w.grab().save(QStringLiteral(PENDRAKE_TEST_OUTPUT_DIR "/stability-window-default.png"));
}

TEST(StabilityWindow, UnstableWallLeavesBaseSlidingAndAnchorsBlank)
{
    Project p = MakeNewProject("Liberation Sans");
    StabilityResults r = StableResults();
    r.Stable = false;
    r.AnchorTensionMax = 12;
    const StabilityWindow w(p, r, QString());
    EXPECT_EQ(Text(w, "TotalVertical"), QStringLiteral("100.00"));
    EXPECT_EQ(Text(w, "TotalHorizontal"), QStringLiteral("-30.00"));
    for (const char* name :
        { "BasePressureMax", "BasePressureMin", "BearingSafetyMin", "SlidingShear",
            "SlidingResistance", "SlidingSafetyMin", "AnchorTensionMax", "AnchorTensionStress",
            "AnchorTensionSafety", "AnchorShearMax", "AnchorShearStress", "AnchorShearSafety" })
        EXPECT_EQ(Text(w, name), QString()) << name;
    EXPECT_EQ(Text(w, "Notes"),
        QStringLiteral("Note:\n»The structure is not stable therefore the base, sliding and "
                       "anchor values are not applicable."));
}

struct AnchorCase {
    const char* Name;
    int16_t Rows;
    float Tension;
    bool Dashes;
    const char* Note; // the last note line, or "" for none
};

class AnchorValuesShown : public testing::TestWithParam<AnchorCase> { };

TEST_P(AnchorValuesShown, DashesWhereNoAnchorPulls)
{
    const AnchorCase& c = GetParam();
    Project p = MakeNewProject("Liberation Sans");
    p.AnchorRows = c.Rows;
    StabilityResults r = StableResults();
    r.AnchorTensionMax = c.Tension;
    r.AnchorShearMax = c.Tension / 4;
    r.AnchorTensionSafety = 2;
    r.AnchorShearSafety = 3;
    const StabilityWindow w(p, r, QString());
    for (const char* name : AnchorValues)
        EXPECT_EQ(Text(w, name) == QStringLiteral("--"), c.Dashes) << name;
    const QString notes = Text(w, "Notes");
    if (*c.Note)
        EXPECT_TRUE(notes.endsWith(QStringLiteral("\n»") + QString::fromUtf8(c.Note)))
            << notes.toStdString();
    else
        EXPECT_EQ(notes, QStringLiteral("Note:"));
}

INSTANTIATE_TEST_SUITE_P(Cases, AnchorValuesShown,
    testing::Values(AnchorCase { "NoTension", 3, 0, true, "No anchor tension occurs." },
        AnchorCase { "NoRows", 0, 5, true, "" }, AnchorCase { "NoRowsNoTension", 0, 0, true, "" },
        AnchorCase { "Tension", 3, 5, false, "" }),
    [](const testing::TestParamInfo<AnchorCase>& info) { return std::string(info.param.Name); });

TEST(StabilityWindow, AnchorStressesInTheStressUnit)
{
    struct Case {
        int16_t Units;
        float PressureStress; // as the analysis gives it, in the pressure unit
        const char* Shown;
        const char* Unit;
    };
    // 1 kg/cm² = 10 T/m²; 1 MPa = 1000 kPa; 1 psi = 0.144 Kip/ft² (144 in²/ft², 1000 lb/Kip).
    const Case cases[] = { { Metric, 39788.7f, "3978.87", "kg/cm²" },
        { SI, 390000.f, "390.00", "MPa" }, { British, 144.f, "1000.00", "psi" } };
    for (const Case& c : cases) {
        Project p = MakeNewProject("Liberation Sans");
        p.UnitSystem = c.Units;
        StabilityResults r = StableResults();
        r.AnchorTensionMax = 12.5f;
        r.AnchorTensionStress = c.PressureStress;
        r.AnchorShearMax = 1;
        r.AnchorShearStress = c.PressureStress;
        const StabilityWindow w(p, r, QString());
        EXPECT_EQ(Text(w, "AnchorTensionStress"), QString::fromLatin1(c.Shown)) << c.Unit;
        EXPECT_EQ(Text(w, "AnchorShearStress"), QString::fromLatin1(c.Shown)) << c.Unit;
        EXPECT_EQ(Text(w, "AnchorTensionStressUnit"), QString::fromUtf8(c.Unit));
    }
}

TEST(StabilityWindow, BritishUnitsOnEveryLabel)
{
    Project p = MakeNewProject("Liberation Sans");
    p.UnitSystem = British;
    const StabilityWindow w(p, StableResults(), QString());
    EXPECT_EQ(Text(w, "TotalVerticalUnit"), QStringLiteral("Kip"));
    EXPECT_EQ(Text(w, "TotalMomentUnit"), QStringLiteral("Kipft"));
    EXPECT_EQ(Text(w, "MidbaseEccentricityUnit"), QStringLiteral("ft"));
    EXPECT_EQ(Text(w, "BasePressureMinUnit"), QStringLiteral("Kip/ft²"));
    EXPECT_EQ(Text(w, "PerLength"), QStringLiteral("Per 1 ft of wall length."));
}

TEST(StabilityWindow, SafetyFactorsFromOneHundredThousandAreInfinite)
{
    struct Case {
        double Factor;
        QString Shown;
    };
    const Case cases[] = { { 100000.0, Infinity }, { 250000.0, Infinity },
        { 99999.99, QStringLiteral("99999.99") }, { 1.0, QStringLiteral("1.00") },
        { 0.456, QStringLiteral("0.46") } };
    for (const Case& c : cases)
        EXPECT_EQ(SafetyText(c.Factor), c.Shown) << c.Factor;

    Project p = MakeNewProject("Liberation Sans");
    StabilityResults r = StableResults();
    r.BearingSafetyMin = float(InfiniteSafety);
    r.SlidingSafetyMin = float(InfiniteSafety);
    r.AnchorTensionMax = 3;
    const StabilityWindow w(p, r, QString());
    EXPECT_EQ(Text(w, "BearingSafetyMin"), Infinity);
    EXPECT_EQ(Text(w, "SlidingSafetyMin"), Infinity);
    EXPECT_EQ(Text(w, "AnchorTensionSafety"), Infinity);
    // Base pressures are not safety factors: a large one is a number.
    EXPECT_EQ(Text(w, "BasePressureMax"), QStringLiteral("20.00"));
}

TEST(StabilityWindow, EccentricityComparedWithASixthAndAThirdOfTheBase)
{
    struct Case {
        double E;
        double Span;
        const char* Shown;
    };
    const Case cases[] = {
        { 1.0, 7.3, "< B/6 = 1.22, < B/3 = 2.43" },
        { -1.5, 7.3, "> B/6 = 1.22, < B/3 = 2.43" }, // the absolute value counts
        { 3.0, 7.3, "> B/6 = 1.22, > B/3 = 2.43" },
        { 1.0, 6.0, "> B/6 = 1.00, < B/3 = 2.00" }, // exactly a sixth is not below it
    };
    for (const Case& c : cases)
        EXPECT_EQ(EccentricityCheckText(c.E, c.Span), QString::fromLatin1(c.Shown)) << c.E;
}

TEST(StabilityWindow, ResultantWithoutVerticalForceHasNoPosition)
{
    Project p = MakeNewProject("Liberation Sans");
    StabilityResults r = StableResults();
    r.Stable = false;
    r.ResultantDefined = false;
    r.TotalVertical = 0;
    r.ResultantX = std::numeric_limits<float>::quiet_NaN();
    const StabilityWindow w(p, r, QString());
    EXPECT_EQ(Text(w, "ResultantX"), QStringLiteral("--"));
    EXPECT_EQ(Text(w, "MidbaseEccentricity"), QStringLiteral("--"));
    EXPECT_EQ(Text(w, "MidbaseMoment"), QStringLiteral("--"));
    EXPECT_EQ(Text(w, "EccentricityCheck"), QString());
    EXPECT_EQ(Text(w, "TotalVertical"), QStringLiteral("0.00"));
}

TEST(StabilityWindow, EachNoteOnItsOwnLineAfterTheMark)
{
    Project p = MakeNewProject("Liberation Sans");
    StabilityResults r = StableResults();
    r.BasePressureMin = -2;
    r.BearingSafetyMin = 0.5f;
    r.SlidingSafetyMin = 0.8f;
    r.AnchorTensionMax = 20;
    r.AnchorTensionSafety = 0.9f;
    r.AnchorShearSafety = 1.0f; // exactly one: no remark
    const StabilityWindow w(p, r, QString());
    EXPECT_EQ(Text(w, "Notes"),
        QStringLiteral(
            "Note:\n»Part of the base is in tension, allowable tension pressure shall be "
            "checked.\n»The base pressure safety factor is less than unity.\n»The "
            "sliding safety factor is less than unity.\n»The anchor safety factor is "
            "less than unity."));
}

TEST(StabilityWindow, CaptionsWithGreekLettersAndCloseButton)
{
    Project p = MakeNewProject("Liberation Sans");
    const StabilityWindow w(p, StableResults(), QStringLiteral("Symbol"));
    QStringList captions;
    for (const QLabel* label : w.findChildren<QLabel*>())
        captions << label->text();
    const QString all = captions.join(QLatin1Char('|'));
    for (const char* piece : { "External forces:", "Vertical force (", "Horizontal force (",
             "Moment at overturning point (", "Moment at midbase (", "Eccentricities:",
             "At overturning point (e", "At midbase (e", "Foundation pressures:", "Maximum (",
             "Minimum (", "Minimum safety factor =", "Shear friction:", "with shearing stress =",
             "and resisting stress =", "Anchors:", "Maximum tension =", "Maximum tension stress =",
             "Safety factor =", "Maximum shear =", "Maximum shear stress =" })
        EXPECT_TRUE(all.contains(QString::fromLatin1(piece))) << piece;
    EXPECT_TRUE(all.contains(QStringLiteral("Σ</span>V) ="))) << "capital sigma before V";
    EXPECT_TRUE(all.contains(QStringLiteral("σ</span><sub>max</sub>"))) << "small sigma";
    EXPECT_TRUE(all.contains(QStringLiteral("font-family:'Symbol'")));
    const auto* close = w.findChild<QPushButton*>(QStringLiteral("cmdClose"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("Close"));
}

} // namespace
} // namespace pendrake::ui
