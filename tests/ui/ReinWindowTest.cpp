// The concrete design window against the worked ACI 318 example, and the Concrete command on a
// wall that is not stable. Its entry boxes are in EntryBoxTest.
#include "ui/frmRein.h"

#include "analysis/EarthPressure.h"
#include "analysis/SectionDesign.h"
#include "analysis/Stability.h"
#include "document/ProjectDocument.h"
#include "support/Widgets.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace pendrake::ui {
namespace {

using namespace uitest;

// The worked example's figures are given to two decimals; single precision adds far less.
constexpr double ShownRounding = 0.0051;

// The worked SI section: h = 500 mm, cover 50 mm, f'c = 30 MPa, fy = 400 MPa, no normal force;
// design moment 160 kN·m on row 1 (M- of section 1), service moment 100 kN·m for crack control.
// Every row carries the same section so the other rows stay unremarkable.
struct WorkedSection {
    Project P = MakeNewProject("Arial");
    CombinationResults R;

    explicit WorkedSection(int16_t unitSystem = SI)
    {
        P.UnitSystem = unitSystem;
        P.ConcFc = 30;
        P.RebarFy = 400;
        P.ConcCover = 5; // cm, as stored in SI
        R.Stable = true;
        DesignResults& d = R.Design;
        for (int row = 1; row <= ReinRowCount; ++row) {
            d.ReinHeight[row] = 50; // cm
            d.ReinMoment[row] = row == 1 ? 160.0f : 50.0f;
            d.ReinMomentZ[row] = row == 1 ? 100.0f : 0.0f;
            P.ReinDia[row] = 2.0f;
            P.ReinPitch[row] = 20.0f;
        }
        d.RhoMin = DesignRhoMin(P);
        d.ZMax = DesignZMax(P.UnitSystem);
        // Design with the bars above, then hand the window a project whose bars nobody typed.
        P.ReinUserSet = true;
        Redesign();
        P.ReinUserSet = false;
    }

    // The owner's part: the record takes the typed bar and the rows are designed again.
    void Commit(Project after, const QString&)
    {
        P = std::move(after);
        Redesign();
    }
    void Redesign()
    {
        for (int row = 1; row <= ReinRowCount; ++row)
            DesignRow(P, R.Design, row);
    }
};

std::unique_ptr<ConcreteDesignWindow> OpenWindow(WorkedSection& w)
{
    auto window = std::make_unique<ConcreteDesignWindow>(
        w.P, w.R, [&w](Project after, const QString& step) { w.Commit(std::move(after), step); });
    ShowActive(*window);
    return window;
}

bool Shown(const QWidget& window, const char* name, int index)
{
    const auto* label = At<QLabel>(window, name, index);
    return label != nullptr && !label->isHidden();
}

// The warnings show only while their condition holds; a typed bar rechecks its row as the worked
// example gives.
TEST(ConcreteDesignWindow, WarningsFollowTheirConditionsAndATypedBarRechecksItsRow)
{
    // 10 cm of concrete (cover 5) against 1000 kN·m: no compression zone carries it.
    WorkedSection w;
    DesignResults& d = w.R.Design;
    d.ReinHeight[3] = d.ReinHeight[4] = 10;
    d.ReinMoment[3] = 1000;
    d.ReinShear[1] = 500;
    w.P.ReinUserSet = true;
    DesignRow(w.P, d, 3);
    DesignRow(w.P, d, 4);
    w.P.ReinUserSet = false;
    Capture capture;
    auto window = OpenWindow(w);
    EXPECT_TRUE(Shown(*window, "lblReinEva6", 3));
    EXPECT_TRUE(Text(*window, "lblReinEva6", 3).contains(QStringLiteral("too small")));
    EXPECT_EQ(Text(*window, "lblReinAsreq", 3), QStringLiteral("--"));
    EXPECT_TRUE(Shown(*window, "lblReinEva1", 3));
    // Row 1 is sound; row 2 (20 mm at 200 mm against 50 kN·m, rho = 0.355 % well under 0.75 rho
    // b = 2.44 %, no service moment) warns of nothing but its shear of 500 kN, more than the
    // 387.97 kN the concrete takes.
    EXPECT_FALSE(Shown(*window, "lblReinEva6", 1));
    EXPECT_NE(Text(*window, "lblReinAsreq", 1), QStringLiteral("--"));
    for (const char* name : { "lblReinEva1", "lblReinEva3", "lblReinEva4", "lblReinEva6" })
        EXPECT_FALSE(Shown(*window, name, 2)) << name;
    EXPECT_TRUE(Shown(*window, "lblReinEva5", 1));
    EXPECT_FALSE(Shown(*window, "lblReinEva5", 2));

    // A bar typed into row 1 redesigns its row.
    TypeAndLeave(At(*window, "txtReinDia", 1), QStringLiteral("16"));
    TypeAndLeave(At(*window, "txtReinPitch", 1), QStringLiteral("200"));
    EXPECT_FLOAT_EQ(w.P.ReinDia[1], 1.6f);
    EXPECT_FLOAT_EQ(w.P.ReinPitch[1], 20.0f);

    // Worked example (its numbers are the section design's tests): As = 10.05 cm²/m shown as
    // 1005.31 mm², rho = 0.2274 %, z = 25027 kN/m under 100 kN·m.
    EXPECT_NEAR(Text(*window, "lblReinAs", 1).toDouble(), 1005.31, ShownRounding);
    EXPECT_EQ(Text(*window, "lblReinRho", 1), QStringLiteral("0.23%"));
    // The section's shear is over the d of its larger bar: row 2 keeps 20 mm, d = 0.44,
    // 0.85 x sqrt(30) / 6 x 0.44 = 341.41 kN.
    EXPECT_NEAR(Text(*window, "lblReinVu", 1).toDouble(), 341.41, ShownRounding);
    EXPECT_TRUE(Shown(*window, "lblReinEva4", 1)) << "z = 25027 > 25000";
    EXPECT_EQ(Text(*window, "lblReinh", 1), QStringLiteral("500.00")); // mm in SI

    // 160 kN·m on the section: 157.11 at 200 mm is short, 165.22 at 190 mm by hand (As = 10.58
    // cm²/m, omega = 0.03756) is not. Besides the shear, the capacity is this row's only shortfall.
    for (const auto& [pitch, capacity, warned] :
        { std::tuple { "190", 165.22, false }, std::tuple { "200", 157.11, true } }) {
        TypeAndLeave(At(*window, "txtReinPitch", 1), QString::fromLatin1(pitch));
        EXPECT_NEAR(Text(*window, "lblReinMu", 1).toDouble(), capacity, ShownRounding) << pitch;
        EXPECT_EQ(Shown(*window, "lblReinEva1", 1), warned) << pitch;
        EXPECT_FALSE(Shown(*window, "lblReinEva3", 1) || Shown(*window, "lblReinEva6", 1));
    }
    EXPECT_EQ(capture.Beeps, 0);
}

TEST(ConcreteDesignWindow, ForcesShowDashesForExactZerosOnly)
{
    WorkedSection w(Metric);
    CombinationResults& r = w.R;
    r.ComboMoment[1][1] = 0.0f;
    r.ComboMoment[2][1] = 1e-4f; // a tiny moment is still a moment
    r.ComboMoment[3][1] = -0.0f;
    r.ComboShear[5][3] = 3.25f;
    r.ComboNormal[6][1] = 7.0f;
    r.Env.EnvMomentNeg[1] = -12.5f;
    r.Env.EnvMomentPos[1] = 0.0f; // retained values always show their number
    auto window = OpenWindow(w);
    EXPECT_EQ(Text(*window, "lblCombo1", 1), QStringLiteral("--"));
    EXPECT_EQ(Text(*window, "lblCombo1", 2), QStringLiteral("0.00"));
    EXPECT_EQ(Text(*window, "lblCombo1", 3), QStringLiteral("--"));
    EXPECT_EQ(Text(*window, "lblCombo1", 12), QStringLiteral("-12.50"));
    EXPECT_EQ(Text(*window, "lblCombo1", 13), QStringLiteral("0.00"));
    EXPECT_EQ(Text(*window, "lblCombo", 14), QStringLiteral("Corresponding N (T)"));
    EXPECT_EQ(
        Find<QLabel>(*window, QStringLiteral("lblUnitForces"))->text(), QStringLiteral("Unit: Tm"));

    // Shears, then normal forces: their own rows of the envelope and their own unit.
    auto* combo = Find<QComboBox>(*window, QStringLiteral("Combo1"));
    combo->setCurrentIndex(1);
    EXPECT_EQ(Text(*window, "lblCombo3", 5), QStringLiteral("3.25"));
    EXPECT_EQ(Text(*window, "lblCombo", 13), QStringLiteral("Corresponding N (T)"));
    EXPECT_FALSE(Shown(*window, "lblCombo", 14));
    EXPECT_EQ(
        Find<QLabel>(*window, QStringLiteral("lblUnitForces"))->text(), QStringLiteral("Unit: T"));
    combo->setCurrentIndex(2);
    EXPECT_EQ(Text(*window, "lblCombo1", 6), QStringLiteral("7.00"));
    EXPECT_EQ(Text(*window, "lblCombo", 12), QStringLiteral("For z"));
    EXPECT_FALSE(Shown(*window, "lblCombo", 13));
}

TEST(ConcreteCommand, AWallThatFallsGetsTheVerdictAndNoWindow)
{
    // An upward pull of 300 T of live load at the wall top: set 1 (1.7 L) lifts the wall. kh =
    // 0.7 puts the seismic angle (35 degrees) beyond phi = 30: the first seismic set has no
    // seismic pressure and stops the run.
    Project uplift = MakeNewProject("Arial");
    uplift.LineLoadCount = 1;
    uplift.LineLoads[1] = { 300.0f, 4.0f, 10.0f, 0.0f, 2 };
    Project seismic = MakeNewProject("Arial");
    seismic.SeismicCoef = 0.7f;
    for (const auto& [wall, says] :
        { std::pair { uplift, UpliftMessage }, std::pair { seismic, SeismicUndefinedMessage } }) {
        SCOPED_TRACE(says);
        const ProjectDocument document(wall);
        ASSERT_FALSE(document.Messages().empty());
        EXPECT_EQ(document.Messages()[0], std::string(says));
        Capture capture;
        // Closes whatever modal window opens, so that the test never hangs on one.
        std::vector<QString> opened;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&opened] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened.push_back(modal->objectName());
                modal->close();
            }
        });
        closer.start(10);
        EXPECT_FALSE(ShowConcreteDesign(
            nullptr, document, [](Project, const QString&) { ADD_FAILURE() << "nothing typed"; }));
        ASSERT_EQ(capture.Messages.size(), 1u) << "the command says what it did, once";
        EXPECT_EQ(capture.Messages[0].Icon, QMessageBox::Warning);
        EXPECT_EQ(capture.Messages[0].Text,
            QStringLiteral("The structure is not stable (combo case), concrete design cancelled."));
        EXPECT_TRUE(opened.empty());
    }
}

} // namespace
} // namespace pendrake::ui
