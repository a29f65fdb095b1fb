// The stability window over prepared results of round numbers; the engine's numbers are the
// engine tests'.
#include "ui/StabilityWindow.h"
#include "analysis/Stability.h"
#include "model/Project.h"
#include "model/Units.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace pendrake::ui {
namespace {

const QString Infinity = QString(QChar(0x221E));

QString Text(const StabilityWindow& w, const char* name)
{
    const auto* label = w.findChild<QLabel*>(QStringLiteral("lbl") + QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
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

TEST(StabilityWindow, EachValueInItsPlaceWithTwoDecimals)
{
    StabilityResults r = StableResults();
    r.AnchorTensionMax = 12.5f;
    r.AnchorShearMax = 1.25f;
    r.AnchorTensionSafety = 1.75f;
    const StabilityWindow w(MakeNewProject("Liberation Sans"), r, "Symbol");
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Pendrake: Stability"));
    const std::pair<const char*, const char*> shown[] = { { "TotalVertical", "100.00" },
        { "TotalHorizontal", "-30.00" }, { "TotalMoment", "250.00" }, { "ResultantX", "2.50" },
        { "MidbaseEccentricity", "-1.15" }, { "MidbaseMoment", "-115.00" },
        { "BasePressureMax", "20.00" }, { "BasePressureMin", "5.00" },
        { "BearingSafetyMin", "3.00" }, { "SlidingShear", "4.00" },
        { "SlidingResistance", "10.00" }, { "SlidingSafetyMin", "2.50" },
        { "AnchorTensionMax", "12.50" }, { "AnchorShearMax", "1.25" },
        { "AnchorTensionSafety", "1.75" }, { "AnchorShearSafety", "\u221E" } };
    for (const auto& [name, text] : shown)
        EXPECT_EQ(Text(w, name), QString::fromUtf8(text)) << name;
    // |e| = 1.15 against the 7.3 m base of the results: a sixth is 1.22, a third 2.43.
    EXPECT_EQ(Text(w, "EccentricityCheck"), QStringLiteral("< B/6 = 1.22, < B/3 = 2.43"));
    // The Greek letters of the captions are set in the Greek font the window was given.
    QStringList captions;
    for (const QLabel* label : w.findChildren<QLabel*>())
        captions << label->text();
    const QString all = captions.join(QLatin1Char('|'));
    EXPECT_TRUE(all.contains(QStringLiteral("Σ</span>V) ="))) << "capital sigma before V";
    EXPECT_TRUE(all.contains(QStringLiteral("font-family:'Symbol'")));

    // Safety factors from 100000 are infinite; the absolute eccentricity is compared, and exactly
    // a sixth is not below it.
    EXPECT_EQ(SafetyText(100000.0), Infinity);
    EXPECT_EQ(SafetyText(99999.99), QStringLiteral("99999.99"));
    EXPECT_EQ(SafetyText(0.456), QStringLiteral("0.46"));
    EXPECT_EQ(EccentricityCheckText(-1.5, 7.3), QStringLiteral("> B/6 = 1.22, < B/3 = 2.43"));
    EXPECT_EQ(EccentricityCheckText(3.0, 7.3), QStringLiteral("> B/6 = 1.22, > B/3 = 2.43"));
    EXPECT_EQ(EccentricityCheckText(1.0, 6.0), QStringLiteral("> B/6 = 1.00, < B/3 = 2.00"));
}

TEST(StabilityWindow, UnitsOfTheSystemOnEveryLabelAndStressesInTheStressUnit)
{
    struct Case {
        int16_t System;
        float PressureStress; // as the analysis gives it, in the pressure unit
        const char* Stress; // shown in the stress unit
        std::vector<std::pair<const char*, const char*>> Units;
        const char* PerLength;
    };
    // 1 kg/cm² = 10 T/m²; 1 MPa = 1000 kPa; 1 psi = 0.144 Kip/ft² (144 in²/ft², 1000 lb/Kip).
    const Case cases[] = {
        { Metric, 39788.7f, "3978.87",
            { { "TotalMoment", "Tm" }, { "BasePressureMax", "T/m²" },
                { "AnchorTensionStress", "kg/cm²" }, { "BearingSafetyMin", "" } },
            "Per 1 m of wall length." },
        { SI, 390000.f, "390.00", { { "TotalVertical", "kN" }, { "AnchorTensionStress", "MPa" } },
            "Per 1 m of wall length." },
        { British, 144.f, "1000.00",
            { { "TotalMoment", "Kipft" }, { "BasePressureMin", "Kip/ft²" },
                { "AnchorTensionStress", "psi" } },
            "Per 1 ft of wall length." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.System);
        Project p = MakeNewProject("Liberation Sans");
        p.UnitSystem = c.System;
        StabilityResults r = StableResults();
        r.AnchorTensionMax = 12.5f;
        r.AnchorTensionStress = c.PressureStress;
        r.AnchorShearMax = 1;
        r.AnchorShearStress = c.PressureStress;
        const StabilityWindow w(p, r, QString());
        EXPECT_EQ(Text(w, "AnchorTensionStress"), QString::fromLatin1(c.Stress));
        EXPECT_EQ(Text(w, "AnchorShearStress"), QString::fromLatin1(c.Stress));
        for (const auto& [name, unit] : c.Units)
            EXPECT_EQ(Text(w, (std::string(name) + "Unit").c_str()), QString::fromUtf8(unit))
                << name;
        EXPECT_EQ(Text(w, "PerLength"), QString::fromLatin1(c.PerLength));
    }
}

TEST(StabilityWindow, UnstableWallLeavesBlanksAndEachShortfallHasItsNote)
{
    StabilityResults r = StableResults();
    r.Stable = false;
    r.AnchorTensionMax = 12;
    const StabilityWindow w(MakeNewProject("Liberation Sans"), r, QString());
    EXPECT_EQ(Text(w, "TotalHorizontal"), QStringLiteral("-30.00"));
    for (const char* name : { "BasePressureMax", "BearingSafetyMin", "SlidingShear",
             "SlidingSafetyMin", "AnchorTensionMax", "AnchorShearStress", "AnchorShearSafety" })
        EXPECT_EQ(Text(w, name), QString()) << name;
    EXPECT_EQ(Text(w, "Notes"),
        QStringLiteral("Note:\n»The structure is not stable therefore the base, sliding and "
                       "anchor values are not applicable."));

    // Without a vertical force the resultant has no position.
    r.ResultantDefined = false;
    r.TotalVertical = 0;
    r.ResultantX = std::numeric_limits<float>::quiet_NaN();
    const StabilityWindow none(MakeNewProject("Liberation Sans"), r, QString());
    for (const char* name : { "ResultantX", "MidbaseEccentricity", "MidbaseMoment" })
        EXPECT_EQ(Text(none, name), QStringLiteral("--")) << name;
    EXPECT_EQ(Text(none, "EccentricityCheck"), QString());
    EXPECT_EQ(Text(none, "TotalVertical"), QStringLiteral("0.00"));

    // A stable wall's shortfalls, each note on its own line after the mark.
    r = StableResults();
    r.BasePressureMin = -2;
    r.BearingSafetyMin = 0.5f;
    r.SlidingSafetyMin = 0.8f;
    r.AnchorTensionMax = 20;
    r.AnchorTensionSafety = 0.9f;
    r.AnchorShearSafety = 1.0f; // exactly one: no remark
    const StabilityWindow noted(MakeNewProject("Liberation Sans"), r, QString());
    EXPECT_EQ(Text(noted, "Notes"),
        QStringLiteral(
            "Note:\n»Part of the base is in tension, allowable tension pressure shall be "
            "checked.\n»The base pressure safety factor is less than unity.\n»The "
            "sliding safety factor is less than unity.\n»The anchor safety factor is "
            "less than unity."));
}

TEST(StabilityWindow, DashesWhereNoAnchorPulls)
{
    struct Case {
        int16_t Rows;
        float Tension;
        bool Dashes;
        const char* Note; // the last note line, or "" for none
    };
    for (const Case& c : { Case { 3, 0, true, "No anchor tension occurs." },
             Case { 0, 5, true, "" }, Case { 3, 5, false, "" } }) {
        SCOPED_TRACE(testing::Message() << c.Rows << " rows, tension " << c.Tension);
        Project p = MakeNewProject("Liberation Sans");
        p.AnchorRows = c.Rows;
        StabilityResults r = StableResults();
        r.AnchorTensionMax = c.Tension;
        r.AnchorShearMax = c.Tension / 4;
        r.AnchorTensionSafety = 2;
        r.AnchorShearSafety = 3;
        const StabilityWindow w(p, r, QString());
        for (const char* name : { "AnchorTensionMax", "AnchorTensionStress", "AnchorTensionSafety",
                 "AnchorShearMax", "AnchorShearStress", "AnchorShearSafety" })
            EXPECT_EQ(Text(w, name) == QStringLiteral("--"), c.Dashes) << name;
        EXPECT_EQ(Text(w, "Notes"),
            *c.Note ? QStringLiteral("Note:\n»") + QString::fromUtf8(c.Note)
                    : QStringLiteral("Note:"));
    }
}

} // namespace
} // namespace pendrake::ui
