// The main window through its real widgets: units, the unsaved-changes prompt, titles, dialogs and
// failures, recent files, views and commands, undo and redo, copies of unsaved work, the lock.
#include "ui/MainWindow.h"
#include "io/Autosave.h"
#include "io/Settings.h"
#include "support/Widgets.h"
#include "ui/StabilityWindow.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace pendrake::ui {
namespace {

using namespace uitest;

const QString NewTitle = QStringLiteral("Pendrake 1.10.40 -[Unnamed]");

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        window_ = OpenMainWindow(dir_.filePath(QStringLiteral("autosave")));
    }

    // A new window over an empty folder, for the next row of a table.
    void Fresh()
    {
        window_.reset();
        for (const QString& file : QDir(dir_.path()).entryList(QDir::Files))
            QFile::remove(dir_.filePath(file));
        SetUp();
    }
    const Project& P() { return window_->Document().Record(); }
    std::vector<uint8_t> Bytes() { return Inputs(P()); }
    bool Modified() { return !window_->UndoStack().isClean(); }
    // The title's words; the unsaved mark [*] after them is tested on its own.
    QString Title()
    {
        QString title = window_->windowTitle();
        EXPECT_TRUE(title.endsWith(QStringLiteral("[*]"))) << title.toStdString();
        return title.remove(QStringLiteral("[*]"));
    }
    QAction* Action(const std::string& name)
    {
        return Find<QAction>(*window_, QString::fromStdString(name));
    }
    // A project file with its own title, so the tests can tell which one is open.
    QString MakeFile(const QString& name, const std::string& title)
    {
        Project p = MakeNewProject(TestFont);
        p.ProjectTitle = title;
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(WriteProjectFile(path.toStdString(), p).Ok);
        return path;
    }
    std::string TitleInFile(const QString& path)
    {
        Project p = MakeNewProject(TestFont);
        EXPECT_TRUE(ReadProjectFile(path.toStdString(), p).Ok) << path.toStdString();
        return p.ProjectTitle;
    }
    void TypeTitle(const QString& text)
    {
        auto* text1 = Find<QLineEdit>(*window_, QStringLiteral("Text1"));
        text1->setFocus();
        QTest::keyClicks(text1, text);
    }

    QTemporaryDir dir_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, SwitchingUnitsConvertsTheRecordAndMovesTheCheck)
{
    struct Case {
        int To;
        bool ByMenu; // Option > Unit, else the Combo1 list from the keyboard
        // A value of a new project after the switch (the conversions are the model's tests).
        std::vector<std::pair<float Project::*, float>> Expected;
    };
    const Case cases[] = {
        // 300 kg/cm² x 0.0981 = 29.43 MPa, kept unrounded; lengths stay.
        { SI, false, { { &Project::TopWidth, 0.5f }, { &Project::ConcFc, 29.43f } } },
        // 9 m / 0.3048 = 29.5276 ft.
        { British, true, { { &Project::FrontHeight, 29.527559f } } },
        { Metric, true, { { &Project::ConcFc, 300.f } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.To);
        Fresh();
        auto* combo1 = Find<QComboBox>(*window_, QStringLiteral("Combo1"));
        if (c.ByMenu) {
            Action("mnuUnit_" + std::to_string(c.To))->trigger();
        } else {
            combo1->setFocus();
            for (int i = 0; i < c.To; ++i)
                QTest::keyClick(combo1, Qt::Key_Down);
        }
        EXPECT_EQ(P().UnitSystem, c.To);
        EXPECT_EQ(combo1->currentIndex(), c.To);
        EXPECT_EQ(Modified(), c.To != Metric);
        for (int u = 0; u < 3; ++u)
            EXPECT_EQ(Action("mnuUnit_" + std::to_string(u))->isChecked(), u == c.To) << u;
        for (const auto& [field, value] : c.Expected)
            EXPECT_NEAR(P().*field, value, 1e-6 * std::abs(value));
    }
}

TEST_F(MainWindowTest, ModifiedProjectIsOfferedForSavingBeforeItGoes)
{
    enum Command { New, Open, Close };
    struct Case {
        const char* Name;
        Command Run;
        bool Named; // the project has a file of its own
        bool Typed; // the project was changed
        QMessageBox::StandardButton Answer;
        std::vector<const char*> SaveDialog; // names the save dialog returns ("" cancels)
        bool GoesOn; // the command runs
        const char* Saved = nullptr; // the title written to the only file, if one is written
        bool SaveFails = false; // the failed write is a second box
    };
    const Case cases[] = {
        { "No discards", New, false, true, QMessageBox::No, {}, true },
        { "Cancel abandons", New, false, true, QMessageBox::Cancel, {}, false },
        { "Yes, then a cancelled save dialog abandons", New, false, true, QMessageBox::Yes, { "" },
            false },
        { "Yes saves an unnamed project through Save as", New, false, true, QMessageBox::Yes,
            { "chosen.pdi" }, true, "Typed" },
        { "Yes with a failed save abandons", New, false, true, QMessageBox::Yes,
            { "no such folder/x.pdi" }, false, nullptr, true },
        { "Yes saves a named project without a dialog", New, true, true, QMessageBox::Yes, {}, true,
            "as openedTyped" },
        { "No keeps the named file as it was", New, true, true, QMessageBox::No, {}, true },
        { "Cancel on Open asks for no file", Open, false, true, QMessageBox::Cancel, {}, false },
        { "Cancel on Close keeps the window", Close, false, true, QMessageBox::Cancel, {}, false },
        { "No on Close closes", Close, false, true, QMessageBox::No, {}, true },
        { "An unchanged project is not asked about", New, true, false, QMessageBox::NoButton, {},
            true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Fresh();
        Capture capture;
        QString own;
        if (c.Named) {
            own = MakeFile(QStringLiteral("own.pdi"), "as opened");
            capture.Files = { own };
            ASSERT_TRUE(window_->FileOpen());
        }
        if (c.Typed)
            TypeTitle(QStringLiteral("Typed"));
        const std::vector<uint8_t> typed = Bytes();
        const QString titleBefore = Title();

        capture.Answers = { c.Answer, QMessageBox::Ok };
        for (const char* name : c.SaveDialog)
            capture.Files.push_back(*name ? dir_.filePath(QString::fromLatin1(name)) : QString());
        const std::size_t shownBefore = capture.Messages.size();
        const bool ran = c.Run == New ? window_->FileNew()
            : c.Run == Open           ? window_->FileOpen()
                                      : window_->close();
        EXPECT_EQ(ran, c.GoesOn);
        EXPECT_TRUE(capture.Files.empty()) << "the save dialog was not asked as often as expected";

        ASSERT_EQ(capture.Messages.size(), shownBefore + (c.Typed ? 1 : 0) + (c.SaveFails ? 1 : 0));
        if (c.Typed) {
            const Captured& prompt = capture.Messages[shownBefore];
            EXPECT_EQ(prompt.Title, QStringLiteral("Pendrake"));
            EXPECT_EQ(prompt.Icon, QMessageBox::Warning);
            EXPECT_EQ(prompt.Buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            EXPECT_EQ(prompt.Text,
                (c.Named ? own : QStringLiteral("[Unnamed]"))
                    + QStringLiteral(" is not saved.  Do you want to save it now?"));
        }
        if (c.Run == Close) {
            EXPECT_EQ(window_->isVisible(), !c.GoesOn);
        } else if (c.GoesOn) {
            EXPECT_EQ(P().ProjectTitle, "");
            EXPECT_FALSE(Modified());
            EXPECT_EQ(Title(), NewTitle);
        } else {
            EXPECT_EQ(Bytes(), typed);
            EXPECT_TRUE(Modified());
            EXPECT_EQ(Title(), titleBefore);
        }
        // The project's own file keeps what it held unless Yes wrote to it; no other is made.
        const QStringList files = QDir(dir_.path()).entryList({ QStringLiteral("*.pdi") });
        ASSERT_EQ(files.size(), c.Named || c.Saved ? 1 : 0);
        if (!files.isEmpty()) {
            EXPECT_EQ(TitleInFile(dir_.filePath(files[0])), c.Saved ? c.Saved : "as opened");
        }
    }
}

TEST_F(MainWindowTest, TitlesAndFileDialogsFollowNewOpenSaveAsAndSave)
{
    Capture capture;
    EXPECT_EQ(Title(), QStringLiteral("Pendrake"));
    ASSERT_TRUE(window_->FileNew());
    EXPECT_EQ(Title(), NewTitle);
    const QString a = MakeFile(QStringLiteral("a.pdi"), "A");
    const QString b = dir_.filePath(QStringLiteral("b.pdi"));
    capture.Files = { a, b };
    ASSERT_TRUE(window_->FileOpen());
    EXPECT_EQ(Title(), QStringLiteral("Pendrake 1.10.40 - ") + a);
    EXPECT_FALSE(Modified());
    ASSERT_TRUE(window_->FileSaveAs());
    EXPECT_EQ(Title(), QStringLiteral("Pendrake: ") + b);
    EXPECT_EQ(TitleInFile(b), "A");

    // The dialogs: their titles, filter, suffix, and the name Save as offers.
    ASSERT_EQ(capture.Requests.size(), 2u);
    const FileDialogRequest& open = capture.Requests[0];
    EXPECT_FALSE(open.Save);
    EXPECT_EQ(open.Title, QStringLiteral("Pendrake: Open file"));
    EXPECT_EQ(open.Filter, QStringLiteral("Input files (*.pdi);;All files (*.*)"));
    const FileDialogRequest& save = capture.Requests[1];
    EXPECT_TRUE(save.Save);
    EXPECT_EQ(save.Title, QStringLiteral("Pendrake: Save as"));
    EXPECT_EQ(save.DefaultSuffix, QStringLiteral("pdi"));
    EXPECT_EQ(save.Directory, a); // the project's own name in its folder

    // File Save writes over its own file without a dialog and keeps the title.
    TypeTitle(QStringLiteral(" revised"));
    ASSERT_TRUE(window_->FileSave());
    EXPECT_EQ(TitleInFile(b), "A revised");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(capture.Requests.size(), 2u);

    // A cancelled Open dialog changes nothing.
    ASSERT_TRUE(window_->FileNew());
    capture.Files = { QString() };
    EXPECT_FALSE(window_->FileOpen());
    EXPECT_EQ(Title(), NewTitle);
}

TEST_F(MainWindowTest, FailedOpenOrSaveLeavesProjectNameTitleAndListAsTheyWere)
{
    for (const bool open : { true, false }) {
        SCOPED_TRACE(open ? "unreadable file" : "save into a missing folder");
        Fresh();
        const QString bad = dir_.filePath(QStringLiteral("bad.pdi"));
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not a project file");
        f.close();
        Capture capture;
        TypeTitle(QStringLiteral("Typed"));
        const std::vector<uint8_t> typed = Bytes();
        capture.Answers = { QMessageBox::No, QMessageBox::Ok };
        capture.Files = { open ? bad : dir_.filePath(QStringLiteral("no such folder/x.pdi")) };
        EXPECT_FALSE(open ? window_->FileOpen() : window_->FileSaveAs());
        ASSERT_EQ(capture.Messages.size(), open ? 2u : 1u); // Open asks about the typed title
        EXPECT_EQ(capture.Messages.back().Icon, QMessageBox::Warning);
        EXPECT_EQ(capture.Messages.back().Title, QStringLiteral("Pendrake"));
        EXPECT_FALSE(capture.Messages.back().Text.isEmpty());
        EXPECT_EQ(Bytes(), typed);
        EXPECT_TRUE(Modified());
        EXPECT_EQ(window_->Document().FileName(), "");
        EXPECT_EQ(Title(), QStringLiteral("Pendrake"));
        EXPECT_EQ(window_->Recent().Count, 0);
    }

    // A command that throws says why, and the window carries on.
    Capture capture;
    SetFileDialogFunction([](QWidget*, const FileDialogRequest&) -> QString {
        throw std::runtime_error("The disk is not ready.");
    });
    capture.Answers = { QMessageBox::No };
    EXPECT_FALSE(window_->FileOpen());
    ASSERT_EQ(capture.Messages.size(), 2u);
    EXPECT_EQ(capture.Messages[1].Text, QStringLiteral("The disk is not ready."));
    EXPECT_EQ(capture.Messages[1].Icon, QMessageBox::Warning);
    capture.Answers = { QMessageBox::No };
    EXPECT_TRUE(window_->FileNew());
}

TEST_F(MainWindowTest, RecentFilesMenuShowsTheListAndOpensItsFiles)
{
    Capture capture;
    std::vector<QString> paths;
    for (const char* name : { "a", "Smith & Sons", "c" }) {
        paths.push_back(MakeFile(QString::fromLatin1(name) + QStringLiteral(".pdi"), name));
        capture.Files = { paths.back() };
        ASSERT_TRUE(window_->FileOpen());
    }
    // The list is written when it changes: read back as the next start would, while this window
    // still runs (as if killed now).
    EXPECT_EQ(LoadRecentFiles(), window_->Recent());
    // An ampersand in a name is shown, not taken for an access key.
    EXPECT_EQ(Action("mnuFileList_2")->text(),
        QStringLiteral("&2 ") + QString(paths[1]).replace("&", "&&"));

    // Item 3 is a.pdi. Saving the unnamed project puts its file on top of the list first; the
    // item then opens its own file without a dialog.
    ASSERT_TRUE(window_->FileNew());
    TypeTitle(QStringLiteral("Fresh"));
    const QString fresh = dir_.filePath(QStringLiteral("fresh.pdi"));
    capture.Answers = { QMessageBox::Yes };
    capture.Files = { fresh };
    Action("mnuFileList_3")->trigger();
    EXPECT_EQ(P().ProjectTitle, "a");
    EXPECT_EQ(TitleInFile(fresh), "Fresh");
    EXPECT_EQ(Title(), QStringLiteral("Pendrake 1.10.40 - ") + paths[0]);
    const RecentFiles& r = window_->Recent();
    EXPECT_EQ(std::vector<std::string>(r.File.begin() + 1, r.File.begin() + 1 + r.Count),
        (std::vector<std::string> { paths[0].toStdString(), fresh.toStdString(),
            paths[2].toStdString(), paths[1].toStdString() }));
}

TEST_F(MainWindowTest, OptionButtonsAndViewMenuSelectTheSameView)
{
    const auto option = [this](int k) {
        return Find<QRadioButton>(*window_, QStringLiteral("optView_%1").arg(k));
    };
    EXPECT_EQ(window_->SelectedView(), -1) << "no view is selected at start";
    // Reactions is left out: whether it is shown depends on the wall's stability.
    constexpr int LoadViews = 8;
    for (int k = 0; k < LoadViews; ++k) {
        SCOPED_TRACE(k);
        if (k % 2 == 1)
            Action("mnuView_" + std::to_string(k))->trigger();
        else
            QTest::mouseClick(option(k), Qt::LeftButton, {}, QPoint(4, option(k)->height() / 2));
        EXPECT_EQ(window_->SelectedView(), k);
        EXPECT_EQ(static_cast<int>(window_->View()->View()), k);
        for (int j = 0; j < ViewCount; ++j) {
            EXPECT_EQ(option(j)->isChecked(), j == k) << "option " << j;
            EXPECT_EQ(Action("mnuView_" + std::to_string(j))->isChecked(), j == k) << "item " << j;
        }
    }
}

// Each command (and the verdict's button) opens its own window over the document's run; closed
// unchanged, it leaves the record as it was and runs nothing.
TEST_F(MainWindowTest, CommandsOpenTheirWindowsAndChangeNothing)
{
    const std::pair<const char*, const char*> cases[] = {
        { "mnuEditProperties", "frmProperties" },
        { "mnuEditLoads", "frmLoads" },
        { "mnuEditAnchors", "frmAnchor" },
        { "mnuCalculateConcrete", "frmRein" },
        { "mnuCalculateCalculator", "frmCalculator" },
        { "mnuCalculateStudy", "frmStudy" },
        { "mnuCalculateOptimize", "frmOptimize" },
        { "mnuFilePrint", "frmPrint" },
        { "mnuCalculateStability", "frmStability" },
        { "cmdVerdict", "frmStability" }, // the button beside the verdict
        { "mnuHelpAbout", "frmAbout" },
    };
    const std::vector<uint8_t> before = Bytes();
    const int runs = window_->Document().CombinationRuns();
    for (const auto& [command, name] : cases) {
        SCOPED_TRACE(command);
        bool opened = false;
        WhenModalOpens(name, [&](QWidget* w) {
            opened = true;
            if (w->objectName() == QStringLiteral("frmAbout")) {
                EXPECT_EQ(Find<QLabel>(*w, QStringLiteral("lblVersion"))->text(),
                    QStringLiteral("Version 1.10.40 dated January 2008"));
            }
            w->close();
        });
        if (std::string(command).starts_with("cmd"))
            Button(*window_, command)->click();
        else
            Action(command)->trigger();
        EXPECT_TRUE(opened);
    }
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(window_->Document().CombinationRuns(), runs);
    // Printer setup asks the printer dialog; cancelled, it is silent.
    int asked = 0;
    SetPrinterDialogFunction([&](QWidget*) {
        ++asked;
        return false;
    });
    Action("mnuFilePrinterSetup")->trigger();
    EXPECT_EQ(asked, 1);
}

TEST_F(MainWindowTest, VerdictAndMessagesFollowEachChange)
{
    const WallVerdict& v = window_->Document().Verdict();
    const QString before = window_->VerdictText();
    EXPECT_TRUE(before.startsWith(QStringLiteral("Stable"))) << before.toStdString();
    EXPECT_TRUE(before.contains("overturning " + SafetyText(v.OverturningSafety)));
    EXPECT_TRUE(before.contains("sliding " + SafetyText(v.SlidingSafetyMin)));

    // An upward pull of 300 T at the wall top: the factored live load lifts the wall.
    Capture capture;
    Project lifted = P();
    lifted.LineLoadCount = 1;
    lifted.LineLoads[1] = { 300.0f, 4.0f, 10.0f, 0.0f, 2 };
    window_->Commit(lifted, QStringLiteral("Loads"));
    EXPECT_TRUE(window_->VerdictText().contains(QStringLiteral("not stable"), Qt::CaseInsensitive))
        << window_->VerdictText().toStdString();
    window_->UndoStack().undo();
    EXPECT_EQ(window_->VerdictText(), before);

    // A slope steeper than the 30° friction angle of the default backfill is flattened as a step
    // of its own, with its messages once.
    capture.Messages.clear();
    Project steep = P();
    steep.BackfillSlope = 1.0f;
    window_->Commit(steep, QStringLiteral("Backfill slope"));
    // The run's messages (gathered once each by the document) are shown as warnings.
    const std::vector<std::string>& said = window_->Document().Messages();
    ASSERT_FALSE(said.empty());
    ASSERT_GE(capture.Messages.size(), said.size());
    EXPECT_EQ(capture.Messages[0].Text.toStdString(), said[0]);
    EXPECT_EQ(capture.Messages[0].Icon, QMessageBox::Warning);
    EXPECT_GT(P().BackfillSlope, 1.0f);

    // Two steps: Undo brings back the slope as typed, the second Undo the slope before.
    QUndoStack& undo = window_->UndoStack();
    ASSERT_EQ(undo.count(), 2);
    EXPECT_TRUE(undo.text(1).startsWith(QStringLiteral("Backfill slope flattened to 1 : ")));
    const std::size_t told = capture.Messages.size();
    undo.undo();
    EXPECT_FLOAT_EQ(P().BackfillSlope, 1.0f);
    undo.undo();
    EXPECT_FLOAT_EQ(P().BackfillSlope, MakeNewProject(TestFont).BackfillSlope);
    // Undo, redo and redrawing are quiet: the messages belong to the change.
    undo.redo();
    window_->View()->Redraw(true);
    window_->SelectView(int(WallViewKind::Seismic));
    EXPECT_EQ(capture.Messages.size(), told);
}

// The calculator's "&Print" prints its page on the printer chosen in Printer setup; printing to
// PDF it asks for the file, and replaces one only when the engineer says so.
TEST_F(MainWindowTest, CalculatorPrintsItsPageToTheAskedPdfAndNeverReplacesSilently)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("calculator.pdf"));
    QPrinter& printer = SharedPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("set-up.pdf")));
    Capture capture;
    capture.Answers = { QMessageBox::No };
    const auto printFromCalculator = [&] {
        capture.Files = { pdf };
        WhenModalOpens("frmCalculator", [](QWidget* w) {
            QTest::mouseClick(Button(*w, "Command2"), Qt::LeftButton);
            w->close();
        });
        Action("mnuCalculateCalculator")->trigger();
    };
    const auto firstBytes = [&pdf] {
        QFile file(pdf);
        return file.open(QIODevice::ReadOnly) ? file.read(5) : QByteArray();
    };
    printFromCalculator();
    ASSERT_EQ(capture.Requests.size(), 1u);
    EXPECT_TRUE(capture.Messages.empty()); // nothing was in the way
    EXPECT_EQ(firstBytes(), QByteArray("%PDF-"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("set-up.pdf"))));

    // Printing again to the same file: the answer "No" leaves the first page as it was.
    QFile::remove(pdf);
    QFile kept(pdf);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("kept");
    kept.close();
    printFromCalculator();
    printer.setOutputFileName(QString());
    ASSERT_EQ(capture.Messages.size(), 1u);
    EXPECT_TRUE(capture.Messages[0].Text.contains(QStringLiteral("already exists")));
    EXPECT_EQ(firstBytes(), QByteArray("kept"));
}

TEST_F(MainWindowTest, EachKindOfStepIsOneStepThatUndoesAndRedoesByteForByte)
{
    // Types `text` into `box` of the dialog that `command` opens, then presses `button`.
    const auto inDialog = [this](const char* command, const char* window, const char* box,
                              const char* text, const char* button) {
        return [=, this] {
            WhenModalOpens(window, [=](QWidget* w) {
                TypeAndLeave(
                    Find<QLineEdit>(*w, QString::fromLatin1(box)), QString::fromLatin1(text));
                QTest::mouseClick(Button(*w, button), Qt::LeftButton);
            });
            Action(command)->trigger();
        };
    };
    struct Case {
        QString Step; // how Edit > Undo names it after "Undo "
        std::function<void()> Act;
    };
    const std::vector<Case> cases = {
        { QStringLiteral("Properties"),
            inDialog("mnuEditProperties", "frmProperties", "txtValue_0", "2.5", "Command1") },
        { QStringLiteral("Loads"),
            inDialog("mnuEditLoads", "frmLoads", "txtSeismic", "0.12", "cmdAccept") },
        { QStringLiteral("Anchors"),
            inDialog("mnuEditAnchors", "frmAnchor", "Text1_1", "1.75", "Command1") },
        // Enter in the design window applies the bar as leaving the box does.
        { QStringLiteral("Bar diameter of row 3 "),
            [&] {
                WhenModalOpens("frmRein", [](QWidget* w) {
                    auto* box = Find<QLineEdit>(*w, QStringLiteral("txtReinDia_3"));
                    TypeInto(box, QStringLiteral("20"));
                    QTest::keyClick(box, Qt::Key_Return);
                    QTest::mouseClick(Button(*w, "Command1"), Qt::LeftButton);
                });
                Action("mnuCalculateConcrete")->trigger();
            } },
        { QStringLiteral("Top width 0.50 \u2192 0.80 m"),
            [&] {
                QString title;
                WhenModalOpens("frmEdit", [&title](QWidget* w) {
                    title = w->windowTitle();
                    auto* text = Find<QLineEdit>(*w, QStringLiteral("Text1"));
                    TypeInto(text, QStringLiteral("0.8"));
                    QTest::keyClick(text, Qt::Key_Return);
                });
                QTest::mouseClick(
                    Find<QLabel>(*window_->View(), QStringLiteral("lblDim_0")), Qt::LeftButton);
                EXPECT_EQ(title, QStringLiteral("Pendrake: Top width (m)"));
            } },
        { QStringLiteral("Unit system Metric \u2192 SI"), [&] { Action("mnuUnit_1")->trigger(); } },
        // Keystrokes in the title make one step, not one each.
        { QStringLiteral("Project title"), [&] { TypeTitle(QStringLiteral("Quay 3")); } },
    };
    QUndoStack& undo = window_->UndoStack();
    Capture capture;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Step.toStdString());
        const std::vector<uint8_t> before = Bytes();
        const int count = undo.count();
        c.Act();
        ASSERT_EQ(undo.count(), count + 1);
        EXPECT_TRUE(Action("mnuEditUndo")->text().startsWith(QStringLiteral("&Undo ") + c.Step))
            << Action("mnuEditUndo")->text().toStdString();
        const std::vector<uint8_t> after = Bytes();
        EXPECT_NE(after, before);
        Action("mnuEditUndo")->trigger();
        EXPECT_EQ(Bytes(), before);
        Action("mnuEditRedo")->trigger();
        EXPECT_EQ(Bytes(), after);
    }
    EXPECT_EQ(P().ProjectTitle, "Quay 3");
    // A typed bar pins the six rows of bars the design shows, in SI millimetres stored as cm.
    EXPECT_TRUE(P().ReinUserSet);
    EXPECT_FLOAT_EQ(P().ReinDia[3], 2.0f);
}

TEST_F(MainWindowTest, UnsavedMarkFollowsTheHistoryAndNewAndOpenStartItAgain)
{
    Capture capture;
    QUndoStack& undo = window_->UndoStack();
    EXPECT_FALSE(window_->isWindowModified());
    TypeTitle(QStringLiteral("A"));
    EXPECT_TRUE(window_->isWindowModified());
    undo.undo();
    EXPECT_FALSE(window_->isWindowModified()) << "back at the state as it was";
    undo.redo();
    // Saving makes this state the clean one; undoing leaves it again.
    const QString saved = dir_.filePath(QStringLiteral("saved.pdi"));
    capture.Files = { saved };
    ASSERT_TRUE(window_->FileSaveAs());
    EXPECT_FALSE(window_->isWindowModified());
    undo.undo();
    EXPECT_TRUE(window_->isWindowModified());
    undo.redo();
    EXPECT_FALSE(window_->isWindowModified());

    Action("mnuUnit_1")->trigger();
    capture.Answers = { QMessageBox::No };
    ASSERT_TRUE(window_->FileNew());
    EXPECT_EQ(undo.count(), 0);
    EXPECT_FALSE(Action("mnuEditUndo")->isEnabled());
    // File New fills the list without converting: the default, not SI's value converted back.
    EXPECT_EQ(Find<QComboBox>(*window_, QStringLiteral("Combo1"))->currentIndex(), Metric);
    EXPECT_TRUE(Action("mnuUnit_0")->isChecked());
    EXPECT_FLOAT_EQ(P().ConcFc, 300.f);

    TypeTitle(QStringLiteral("y"));
    capture.Answers = { QMessageBox::No };
    capture.Files = { saved };
    ASSERT_TRUE(window_->FileOpen());
    EXPECT_EQ(undo.count(), 0);
    EXPECT_FALSE(window_->isWindowModified());
    EXPECT_EQ(P().ProjectTitle, "A");
}

// Copies of unsaved work in the test's own folder, as the next start would find them.
std::vector<AutosaveCopy> Copies(const QTemporaryDir& dir)
{
    return AutosaveStore(dir.filePath(QStringLiteral("autosave")).toStdString()).FindCopies();
}

void Edit(MainWindow& w, const char* title)
{
    Project p = w.Document().Record();
    p.ProjectTitle = title;
    w.Commit(p, QStringLiteral("Project title"));
}

TEST_F(MainWindowTest, AStepIsCopiedTheCopyGoesWithSaveDiscardAndExitAndACrashOffersIt)
{
    Capture capture;
    MainWindow* w = window_.get();
    w->AutosaveIfDue();
    EXPECT_TRUE(Copies(dir_).empty()) << "nothing to keep while the project is as it was";
    Edit(*w, "first");
    w->AutosaveIfDue(); // the first step makes a copy due at once
    ASSERT_EQ(Copies(dir_).size(), 1u);
    Project copy = MakeNewProject(TestFont);
    ASSERT_TRUE(AutosaveStore::Read(Copies(dir_)[0], copy).Ok);
    EXPECT_EQ(Inputs(copy), Inputs(w->Document().Record()));

    // Saved: the copy goes.
    capture.Files = { dir_.filePath(QStringLiteral("wall1.pdi")) };
    ASSERT_TRUE(w->FileSaveAs());
    EXPECT_TRUE(Copies(dir_).empty());
    // Undo back to a state that is not on disk makes the next copy; back at the saved state no
    // copy is needed any more.
    w->UndoStack().undo();
    w->AutosaveIfDue();
    w->UndoStack().redo();
    EXPECT_TRUE(Copies(dir_).empty());
    // A discard drops it, and a clean exit leaves nothing behind, even after a copy was written.
    Edit(*w, "second");
    capture.Answers = { QMessageBox::No };
    ASSERT_TRUE(w->FileNew());
    EXPECT_TRUE(Copies(dir_).empty());
    Edit(*w, "third");
    w->AutosaveIfDue();
    capture.Answers = { QMessageBox::No };
    w->close();
    EXPECT_TRUE(Copies(dir_).empty());

    // After a crash the next start offers the copy; after a clean exit it asks nothing.
    Fresh();
    capture.Messages.clear();
    std::vector<uint8_t> lost;
    {
        auto crashed = std::move(window_);
        Edit(*crashed, "typed before the crash");
        crashed->AutosaveIfDue();
        lost = Inputs(crashed->Document().Record());
        // The process dies: no close, no prompt.
    }
    ASSERT_EQ(Copies(dir_).size(), 1u);
    const QString folder = dir_.filePath(QStringLiteral("autosave"));
    auto next = OpenMainWindow(folder);
    capture.Answers = { QMessageBox::Yes };
    EXPECT_TRUE(next->OfferRecovery());
    ASSERT_EQ(capture.Messages.size(), 1u);
    EXPECT_TRUE(capture.Messages[0].Text.startsWith(
        QStringLiteral("Recover the unsaved changes to [Unnamed] from ")))
        << capture.Messages[0].Text.toStdString();
    EXPECT_EQ(capture.Messages[0].Buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(Inputs(next->Document().Record()), lost);
    EXPECT_TRUE(next->isWindowModified()) << "recovered work is not saved work";

    capture.Answers = { QMessageBox::No };
    next->close();
    EXPECT_TRUE(Copies(dir_).empty());
    EXPECT_FALSE(OpenMainWindow(folder)->OfferRecovery());
    EXPECT_EQ(capture.Messages.size(), 2u) << "no question without a copy";
}

TEST(InstanceLock, SecondInstanceIsRefusedUntilTheFirstEndsOrCrashed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto first = std::make_unique<InstanceLock>(dir.path());
    InstanceLock second(dir.path());
    EXPECT_TRUE(first->Acquire());
    EXPECT_FALSE(second.Acquire());
    first.reset();
    EXPECT_TRUE(second.Acquire());

    // A process that has ended stands for the crashed instance whose lock file stayed behind.
    QTemporaryDir other;
    InstanceLock lock(other.path());
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 pid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    {
        QFile stale(lock.FileName());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(pid) + '\n' + QCoreApplication::applicationName().toUtf8()
            + '\n' + QSysInfo::machineHostName().toUtf8() + '\n');
    }
    EXPECT_TRUE(lock.Acquire());

    // A folder without room for a lock does not refuse the start.
    EXPECT_TRUE(InstanceLock(dir.filePath(QStringLiteral("gone/with/the/wind"))).Acquire());
}

} // namespace
} // namespace pendrake::ui
