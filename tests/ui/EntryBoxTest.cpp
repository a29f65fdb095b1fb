// The entry boxes of every window that has them, through the keyboard and the mouse: what is
// refused and how, what closes, what Enter does, and what is stored in which unit.
#include "document/ProjectDocument.h"
#include "support/Widgets.h"
#include "ui/ValidatedBox.h"
#include "ui/frmAnchor.h"
#include "ui/frmCalculator.h"
#include "ui/frmLoads.h"
#include "ui/frmProperties.h"
#include "ui/frmRein.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pendrake::ui {
namespace {

using namespace uitest;

// A window opened on a record, and what it has taken from its boxes so far.
struct EntryHost {
    Project Opened;
    std::shared_ptr<void> Owner; // what the window shows and writes into
    std::unique_ptr<QWidget> Window;
    // The record a dialog's Accept gave (empty while it gave none), the record the design
    // window committed to, the calculator's inputs.
    std::function<std::vector<uint8_t>()> Taken;
};

// The record every window opens on. Two of its values show rounded: a cover of 1.0275 cm is
// 10.275001 mm in SI, and a 7/16 in bar shows as 0.44; passing through their boxes must not
// store the rounding. The bars are typed, so that the design window shows them as they are.
Project Record(int16_t system)
{
    Project p = ProjectIn(system);
    p.ConcCover = 1.0275f;
    p.LineLoadCount = 2;
    p.LineLoads[1] = { 2.0f, 1.0f, 3.0f, 180.0f, 2 };
    p.LineLoads[2] = { 0.5f, 4.5f, 10.0f, 90.0f, 6 };
    p.ReinUserSet = true;
    for (int row = 1; row <= ReinRowCount; ++row) {
        p.ReinDia[row] = 2.0f;
        p.ReinPitch[row] = 20.0f;
    }
    p.ReinDia[5] = 0.4375f;
    return p;
}

template <class Dialog> EntryHost OpenDialog(int16_t system)
{
    EntryHost host { Record(system), nullptr, nullptr, nullptr };
    auto dialog = std::make_unique<Dialog>(host.Opened);
    host.Taken = [d = dialog.get()] {
        const std::optional<Project> r = d->Result();
        return r ? Inputs(*r) : std::vector<uint8_t> {};
    };
    host.Window = std::move(dialog);
    return host;
}

EntryHost OpenCalculator(int16_t system)
{
    EntryHost host { Record(system), nullptr, nullptr, nullptr };
    auto window = std::make_unique<CalculatorWindow>(host.Opened);
    host.Taken = [w = window.get()] {
        std::vector<uint8_t> bytes;
        for (float CalculatorInput::*field : CalculatorInputFields) {
            const auto* raw = reinterpret_cast<const uint8_t*>(&(w->Input().*field));
            bytes.insert(bytes.end(), raw, raw + sizeof(float));
        }
        return bytes;
    };
    host.Window = std::move(window);
    return host;
}

// The design window writes through the main window's commit into the document it shows.
EntryHost OpenConcreteDesign(int16_t system)
{
    EntryHost host { Record(system), nullptr, nullptr, nullptr };
    auto document = std::make_shared<ProjectDocument>(host.Opened);
    host.Window = std::make_unique<ConcreteDesignWindow>(document->Record(),
        document->Combinations(),
        [d = document.get()](Project after, const QString&) { d->SetRecord(std::move(after)); });
    host.Taken = [d = document.get()] { return Inputs(d->Record()); };
    host.Owner = document;
    return host;
}

struct EntryWindow {
    const char* Name;
    EntryHost (*Open)(int16_t system);
    const char* Box; // the box the behaviour below is tried on
    const char* Good; // an entry that box takes
    const char* AfterEnter; // where Enter leaves the focus after a good entry
    const char* Cancel; // Cancel or Close
    const char* Accept; // the dialog's Accept; null where each entry is taken as it is made
    bool TellsRule; // a refusal names the broken rule in the status bar
};

enum Win { Properties, AnchorGeometry, AnchorSteel, Loads, Calculator, ConcreteDesign };

const EntryWindow Windows[] = {
    { "Properties", OpenDialog<PropertiesDialog>, "txtValue_6", "5.5", "txtValue_7", "Command2",
        "Command1", true },
    { "AnchorGeometry", OpenDialog<AnchorDialog>, "Text1_2", "1.75", "Text1_3", "Command2",
        "Command1", true },
    // Enter stays in the steel boxes.
    { "AnchorSteel", OpenDialog<AnchorDialog>, "Text1_4", "2500", "Text1_4", "Command2", "Command1",
        true },
    { "Loads", OpenDialog<LoadsDialog>, "txtX_1", "2", "txtX_2", "cmdCancel", "cmdAccept", true },
    { "Calculator", OpenCalculator, "txtValue_4", "0.5", "txtValue_4", "Command1", nullptr, false },
    { "ConcreteDesign", OpenConcreteDesign, "txtReinDia_5", "12", "txtReinDia_5", "Command1",
        nullptr, false },
};

struct Opened {
    EntryHost Host;
    std::vector<uint8_t> Before;
    QLineEdit* Box;

    Opened(const EntryWindow& w, int16_t system, const char* box = nullptr)
        : Host(w.Open(system))
    {
        ShowActive(*Host.Window);
        Before = Host.Taken();
        Box = Find<QLineEdit>(*Host.Window, QString::fromLatin1(box ? box : w.Box));
    }
    QWidget& Window() const { return *Host.Window; }
    QWidget* Focus() const { return QApplication::focusWidget(); }
};

void PrintTo(const EntryWindow& w, std::ostream* os)
{
    *os << w.Name;
}

class EntryBox : public testing::TestWithParam<EntryWindow> { };

TEST_P(EntryBox, RefusedEntryBeepsKeepsTheFocusAndIsNotTaken)
{
    const EntryWindow& w = GetParam();
    for (const char* bad : { "abc", "-5", "", "1,5" }) {
        SCOPED_TRACE(bad);
        std::vector<QString> told;
        SetRefusalReporter([&](const QString& rule) { told.push_back(rule); });
        Capture capture;
        Opened o(w, Metric);
        TypeAndLeave(o.Box, QString::fromLatin1(bad));
        EXPECT_EQ(capture.Beeps, 1);
        EXPECT_EQ(o.Focus(), o.Box);
        EXPECT_EQ(o.Host.Taken(), o.Before);
        if (w.TellsRule) {
            EXPECT_EQ(told, std::vector<QString> { "Not accepted: " + o.Box->toolTip() + "." });
        }
        // Enter checks as leaving does, and presses no button behind the box.
        QTest::keyClick(o.Box, Qt::Key_Return);
        EXPECT_EQ(capture.Beeps, 2);
        EXPECT_EQ(o.Focus(), o.Box);
        EXPECT_TRUE(o.Window().isVisible());
        if (w.Accept != nullptr) {
            // Accept does nothing while the entry is bad; leaving for it checks once more.
            QTest::mouseClick(Button(o.Window(), w.Accept), Qt::LeftButton);
            EXPECT_EQ(capture.Beeps, 3);
            EXPECT_TRUE(o.Window().isVisible());
            EXPECT_EQ(o.Focus(), o.Box);
        }
        // Cancel, Close and Escape skip the check of an entry not yet left, and are silent.
        const int beeps = capture.Beeps;
        TypeInto(o.Box, QStringLiteral("abc"));
        if (*bad == 'a')
            QTest::keyClick(o.Box, Qt::Key_Escape);
        else
            QTest::mouseClick(Button(o.Window(), w.Cancel), Qt::LeftButton);
        SetRefusalReporter({});
        EXPECT_EQ(capture.Beeps, beeps);
        EXPECT_FALSE(o.Window().isVisible());
        EXPECT_EQ(o.Host.Taken(), o.Before);
        EXPECT_TRUE(capture.Messages.empty()) << "a refused entry shows no message box";
    }
}

TEST_P(EntryBox, EnterTakesAGoodEntryAndKeepsTheWindowOpen)
{
    const EntryWindow& w = GetParam();
    Capture capture;
    Opened o(w, Metric);
    TypeInto(o.Box, QString::fromLatin1(w.Good));
    QTest::keyClick(o.Box, Qt::Key_Return);
    EXPECT_EQ(capture.Beeps, 0);
    EXPECT_TRUE(o.Window().isVisible()) << "Enter never closes the window";
    EXPECT_EQ(o.Focus(), Find<QLineEdit>(o.Window(), QString::fromLatin1(w.AfterEnter)));
    if (w.Accept != nullptr)
        QTest::mouseClick(Button(o.Window(), w.Accept), Qt::LeftButton);
    EXPECT_NE(o.Host.Taken(), o.Before);
}

TEST_P(EntryBox, BoxesPassedThroughUntouchedChangeNothing)
{
    const EntryWindow& w = GetParam();
    for (const int16_t system : { Metric, SI, British }) {
        SCOPED_TRACE(system);
        Capture capture;
        Opened o(w, system);
        for (QLineEdit* box : o.Window().findChildren<QLineEdit*>()) {
            if (!box->isVisible() || box->isReadOnly())
                continue;
            box->setFocus(Qt::MouseFocusReason);
            QTest::keyClick(box, Qt::Key_Tab);
        }
        // Retyped exactly as shown is no change either: the box remembers what it showed, so the
        // 7/16 in bar shown as 0.44 (4.38 mm) keeps what is stored.
        TypeAndLeave(o.Box, o.Box->text());
        if (w.Accept != nullptr)
            QTest::mouseClick(Button(o.Window(), w.Accept), Qt::LeftButton);
        EXPECT_EQ(capture.Beeps, 0);
        EXPECT_EQ(o.Host.Taken(), o.Before) << "no change, no step";
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, EntryBox, testing::ValuesIn(Windows),
    [](const testing::TestParamInfo<EntryWindow>& info) { return std::string(info.param.Name); });

// What each box refuses and the rule it states, in the units of the system: boxes that hold a
// strength, a cover or a pitch must be above zero, a cohesion or a load may be zero, a count is
// rounded before it is judged. The rule is the tooltip, and a refusal tells it. What is taken is
// stored in the stored unit: small lengths typed in mm are kept in cm, counts are rounded half to
// even; nothing else in the record changes.
TEST(EntryRules, EachBoxRefusesWhatItsRuleForbidsAndStoresWhatItTakesInTheStoredUnit)
{
    struct Case {
        Win Window;
        int16_t System;
        const char* Box;
        const char* Typed;
        const char* Rule; // null when the entry is taken
        void (*Expect)(Project&) = nullptr; // the change an entry taken makes
    };
    const Case cases[] = {
        { Properties, Metric, "txtValue_6", "0",
            "Reinforcement bar: Concrete cover in cm, greater than 0" },
        { Properties, Metric, "txtValue_12", "0", nullptr }, // a cohesionless backfill
        // Stored in single precision these would be 0 and slip past the rule.
        { Properties, Metric, "txtValue_2", "1e-50",
            "Concrete: Elasticity modulus (E) in E+5 kg/cm², greater than 0" },
        { Properties, Metric, "txtValue_15", "-1e-50",
            "Base: Ultimate bearing capacity (qd) in kg/cm², 0 or more" },
        // A count is judged as typed, not as rounded to 0 rows; and it fits 16 bits.
        { AnchorGeometry, Metric, "Text1_0", "-0.3",
            "Number along vertical, a whole number, 0 or more" },
        { AnchorGeometry, Metric, "Text1_0", "40000",
            "Number along vertical, a whole number, 0 or more" },
        // A zero pitch would stack every row on the first.
        { AnchorGeometry, Metric, "Text1_1", "0", "Vertical pitch in m, greater than 0" },
        { Loads, Metric, "txtLoad_1", "-2", "Line load 1: load in T/m, 0 or more" },
        { Loads, SI, "txtSurcharge", "-1", "Surcharge on the backfill in kPa, 0 or more" },
        // Beyond single precision, or no number at all, in the windows that state no rule.
        { Calculator, Metric, "txtValue_10", "1e40", "" },
        { Calculator, Metric, "txtValue_10", "nan", "" },
        { ConcreteDesign, SI, "txtReinPitch_2", "0", "" },
        // Taken, and stored in the stored unit.
        { Properties, SI, "txtValue_6", "72.5", nullptr, [](Project& p) { p.ConcCover = 7.25f; } },
        { Properties, Metric, "txtValue_6", "7.5", nullptr,
            [](Project& p) { p.ConcCover = 7.5f; } },
        // Halves go to the even neighbour.
        { AnchorGeometry, Metric, "Text1_0", "2.5", nullptr, [](Project& p) { p.AnchorRows = 2; } },
        { AnchorGeometry, Metric, "Text1_0", "3.5", nullptr, [](Project& p) { p.AnchorRows = 4; } },
        // The design window takes bar diameters in mm in Metric too.
        { ConcreteDesign, Metric, "txtReinDia_3", "16", nullptr,
            [](Project& p) { p.ReinDia[3] = 1.6f; } },
        { ConcreteDesign, British, "txtReinDia_3", "0.625", nullptr,
            [](Project& p) { p.ReinDia[3] = 0.625f; } },
        { ConcreteDesign, SI, "txtReinPitch_1", "150", nullptr,
            [](Project& p) { p.ReinPitch[1] = 15.0f; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Box << " = \"" << c.Typed << "\" in " << c.System);
        const EntryWindow& w = Windows[c.Window];
        std::vector<QString> told;
        SetRefusalReporter([&](const QString& rule) { told.push_back(rule); });
        Capture capture;
        Opened o(w, c.System, c.Box);
        TypeAndLeave(o.Box, QString::fromLatin1(c.Typed));
        SetRefusalReporter({});
        const bool refused = c.Rule != nullptr;
        EXPECT_EQ(capture.Beeps, refused ? 1 : 0);
        EXPECT_EQ(o.Focus() == o.Box, refused);
        if (refused && *c.Rule) {
            const QString rule = QString::fromUtf8(c.Rule);
            EXPECT_EQ(o.Box->toolTip(), rule);
            EXPECT_EQ(told, std::vector<QString> { "Not accepted: " + rule + "." });
        } else {
            EXPECT_TRUE(told.empty());
        }
        if (c.Expect != nullptr) {
            if (w.Accept != nullptr)
                QTest::mouseClick(Button(o.Window(), w.Accept), Qt::LeftButton);
            Project expected = o.Host.Opened;
            c.Expect(expected);
            EXPECT_EQ(o.Host.Taken(), Inputs(expected));
        }
    }
}

// Every tooltip ends with the box's range and names the unit its label shows.
TEST(EntryRules, EveryDialogBoxStatesTheUnitOfItsLabel)
{
    for (const int16_t system : { Metric, SI, British }) {
        SCOPED_TRACE(system);
        const PropertiesDialog properties(ProjectIn(system));
        for (int i = 0; i < PropertyBoxCount; ++i) {
            const QString tip
                = Find<QLineEdit>(properties, QStringLiteral("txtValue_%1").arg(i))->toolTip();
            EXPECT_TRUE(tip.endsWith(i <= 8 ? ", greater than 0" : ", 0 or more")) << i;
            const QString unit = Text(properties, "lblUnit", i);
            EXPECT_TRUE(unit.isEmpty() || tip.contains(" in " + unit + ",")) << i;
        }
        const AnchorDialog anchors(ProjectIn(system));
        for (int i = 1; i < AnchorBoxCount; ++i) {
            const QString tip
                = Find<QLineEdit>(anchors, QStringLiteral("Text1_%1").arg(i))->toolTip();
            EXPECT_TRUE(tip.contains(" in " + Text(anchors, "lblUnit", i) + ", greater than 0"))
                << i;
        }
    }
}

} // namespace
} // namespace pendrake::ui
