// The main window driven through its real widgets: unit switching, the unsaved-changes prompt,
// titles, the recent files, views, failures, placement, and the start-up pieces (instance lock,
// font choice).
#include "ui/MainWindow.h"
#include "analysis/Stability.h"
#include "io/Autosave.h"
#include "io/ProjectFile.h"
#include "io/Settings.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "ui/FontChoice.h"
#include "ui/Platform.h"
#include "ui/StabilityWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <vector>

namespace pendrake::ui {
namespace {

const QString UnnamedPrompt
    = QStringLiteral("[Unnamed] is not saved.  Do you want to save it now?");
const QString NewTitle = QStringLiteral("Pendrake 1.10.40 -[Unnamed]");
constexpr const char* TestFont = "Liberation Sans";

struct Shown {
    QMessageBox::Icon Icon;
    QString Title;
    QString Text;
    QMessageBox::StandardButtons Buttons;
};

// Plays the engineer's part in the message boxes and file dialogs, in order.
class Script {
public:
    Script()
    {
        SetMessageFunction([this](QWidget*, QMessageBox::Icon icon, const QString& title,
                               const QString& text, QMessageBox::StandardButtons buttons) {
            Messages.push_back({ icon, title, text, buttons });
            if (Answers.empty()) {
                ADD_FAILURE() << "message box without a scripted answer: " << text.toStdString();
                return (buttons & QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
            }
            const auto answer = Answers.front();
            Answers.pop_front();
            return answer;
        });
        SetFileDialogFunction([this](QWidget*, const FileDialogRequest& request) {
            Requests.push_back(request);
            if (Files.empty()) {
                ADD_FAILURE() << "file dialog without a scripted answer: "
                              << request.Title.toStdString();
                return QString();
            }
            const QString path = Files.front();
            Files.pop_front();
            return path;
        });
    }

    std::deque<QMessageBox::StandardButton> Answers;
    std::deque<QString> Files; // an empty entry cancels the dialog
    std::vector<Shown> Messages;
    std::vector<FileDialogRequest> Requests;
};

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        StartupState startup;
        startup.Fonts = { TestFont, TestFont };
        // Copies of unsaved work stay in the test's own folder.
        window_ = std::make_unique<MainWindow>(
            startup, nullptr, dir_.filePath(QStringLiteral("autosave")));
        window_->resize(1000, 720);
        window_->show();
    }

    const Project& P() { return window_->Document().Record(); }
    bool Modified() { return !window_->UndoStack().isClean(); }
    // The title's words; the unsaved mark [*] after them is tested on its own.
    QString Title()
    {
        QString title = window_->windowTitle();
        EXPECT_TRUE(title.endsWith(QStringLiteral("[*]"))) << title.toStdString();
        return title.remove(QStringLiteral("[*]"));
    }
    // Changes the record as a command of the window would: one undoable step.
    template <class F> void Change(F&& change, const QString& step = QStringLiteral("Test"))
    {
        Project after = P();
        change(after);
        window_->Commit(std::move(after), step);
    }
    template <class T> T* Find(const QString& name)
    {
        T* found = window_->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QAction* Action(const char* name) { return Find<QAction>(QString::fromLatin1(name)); }

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
        QLineEdit* text1 = Find<QLineEdit>(QStringLiteral("Text1"));
        text1->setFocus();
        QTest::keyClicks(text1, text);
    }
    std::vector<std::string> RecentList()
    {
        const RecentFiles& r = window_->Recent();
        return { r.File.begin() + 1, r.File.begin() + 1 + r.Count };
    }

    QTemporaryDir dir_;
    std::unique_ptr<MainWindow> window_;
};

// ---------------------------------------------------------------------------------------------
// Units

struct UnitCase {
    const char* Name;
    int To;
    bool ByMenu; // Option > Unit, else the Combo1 list from the keyboard
    // Worked values of a new project after the switch (independent hand conversions).
    std::vector<std::pair<float Project::*, float>> Expected;
};

class UnitSwitch : public MainWindowTest, public testing::WithParamInterface<UnitCase> { };

TEST_P(UnitSwitch, ConvertsMarksModifiedAndMovesTheCheck)
{
    const UnitCase& c = GetParam();
    QComboBox* combo1 = Find<QComboBox>(QStringLiteral("Combo1"));
    if (c.ByMenu) {
        Action(c.To == SI ? "mnuUnit_1" : "mnuUnit_2")->trigger();
    } else {
        combo1->setFocus();
        for (int i = 0; i < c.To; ++i)
            QTest::keyClick(combo1, Qt::Key_Down);
    }
    EXPECT_EQ(P().UnitSystem, c.To);
    EXPECT_EQ(combo1->currentIndex(), c.To);
    EXPECT_TRUE(Modified());
    for (int u = 0; u < 3; ++u)
        EXPECT_EQ(Action(("mnuUnit_" + std::to_string(u)).c_str())->isChecked(), u == c.To) << u;
    for (const auto& [field, value] : c.Expected)
        EXPECT_NEAR(P().*field, value, 1e-6 * std::abs(value));
}

INSTANTIATE_TEST_SUITE_P(Cases, UnitSwitch,
    testing::Values(
        // Kept unrounded: 2.4 t/m³ x 9.81 = 23.544; 300 kg/cm² x 0.0981 = 29.43; 4000 -> 392.4;
        // 2400 x 0.0981 = 235.44; 1 T/m² x 9.81 = 9.81 kPa.
        UnitCase { "MetricToSIByList", SI, false,
            { { &Project::TopWidth, 0.5f }, { &Project::ConcUnitWeight, 23.544f },
                { &Project::ConcFc, 29.43f }, { &Project::RebarFy, 392.4f },
                { &Project::AnchorYield, 235.44f }, { &Project::Surcharge, 9.81f },
                { &Project::FillPhi, 30.f } } },
        UnitCase { "MetricToSIByMenu", SI, true,
            { { &Project::ConcUnitWeight, 23.544f }, { &Project::Surcharge, 9.81f } } },
        // 9 m / 0.3048 = 29.5276 ft; 2.4 x 0.3048³ / 0.454 = 0.149693; 4000 x 2.54² / 0.454 =
        // 56842.3; 7 cm / 2.54 = 2.75591 in; 2 cm / 2.54 = 0.787402 in.
        UnitCase { "MetricToBritishByMenu", British, true,
            { { &Project::FrontHeight, 29.527559f }, { &Project::ConcUnitWeight, 0.1496926f },
                { &Project::RebarFy, 56842.29f }, { &Project::ConcCover, 2.7559055f },
                { &Project::AnchorDia, 0.7874016f } } },
        UnitCase {
            "MetricToBritishByList", British, false, { { &Project::FrontHeight, 29.527559f } } }),
    [](const testing::TestParamInfo<UnitCase>& info) { return std::string(info.param.Name); });

TEST_F(MainWindowTest, ChoosingTheCurrentSystemOnlyKeepsItsCheck)
{
    Action("mnuUnit_0")->trigger();
    EXPECT_FALSE(Modified());
    EXPECT_TRUE(Action("mnuUnit_0")->isChecked());
    EXPECT_FALSE(Action("mnuUnit_1")->isChecked());
    EXPECT_FLOAT_EQ(P().ConcFc, 300.f);
}

TEST_F(MainWindowTest, FileNewFillsTheListWithoutConverting)
{
    Script script;
    Action("mnuUnit_1")->trigger();
    script.Answers = { QMessageBox::No };
    ASSERT_TRUE(window_->FileNew());
    EXPECT_EQ(P().UnitSystem, Metric);
    EXPECT_EQ(Find<QComboBox>(QStringLiteral("Combo1"))->currentIndex(), Metric);
    EXPECT_TRUE(Action("mnuUnit_0")->isChecked());
    EXPECT_FALSE(Action("mnuUnit_1")->isChecked());
    EXPECT_FLOAT_EQ(P().ConcFc, 300.f); // the default, not SI's value converted back
    EXPECT_FALSE(Modified());
}

// ---------------------------------------------------------------------------------------------
// The unsaved-changes prompt

enum class Saved { Nothing, ToChosenFile, ToOwnFile };

struct PromptCase {
    const char* Name;
    bool Named; // the project has a file of its own
    QMessageBox::StandardButton Answer;
    std::vector<const char*> SaveDialog; // file names the save dialog returns ("" cancels)
    bool GoesOn; // File New runs
    Saved Expected;
};

class Prompt : public MainWindowTest, public testing::WithParamInterface<PromptCase> { };

TEST_P(Prompt, FileNewOnModifiedProject)
{
    const PromptCase& c = GetParam();
    Script script;
    QString own;
    if (c.Named) {
        own = MakeFile(QStringLiteral("own.pdi"), "as opened");
        script.Files = { own };
        ASSERT_TRUE(window_->FileOpen());
    }
    TypeTitle(QStringLiteral("Typed"));
    ASSERT_TRUE(Modified());
    const std::string typed = P().ProjectTitle;
    const QString titleBefore = Title();

    script.Answers = { c.Answer };
    for (const char* name : c.SaveDialog)
        script.Files.push_back(*name ? dir_.filePath(QString::fromLatin1(name)) : QString());
    const std::size_t shownBefore = script.Messages.size();
    EXPECT_EQ(window_->FileNew(), c.GoesOn);

    ASSERT_EQ(script.Messages.size(), shownBefore + 1);
    const Shown& prompt = script.Messages.back();
    EXPECT_EQ(prompt.Title, QStringLiteral("Pendrake"));
    EXPECT_EQ(prompt.Icon, QMessageBox::Warning);
    EXPECT_EQ(prompt.Buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(prompt.Text,
        c.Named ? own + QStringLiteral(" is not saved.  Do you want to save it now?")
                : UnnamedPrompt);
    EXPECT_TRUE(script.Files.empty()) << "the save dialog was not asked as often as expected";

    if (c.GoesOn) {
        EXPECT_EQ(P().ProjectTitle, "");
        EXPECT_FALSE(Modified());
        EXPECT_EQ(Title(), NewTitle);
    } else {
        EXPECT_EQ(P().ProjectTitle, typed);
        EXPECT_TRUE(Modified());
        EXPECT_EQ(Title(), titleBefore);
    }
    switch (c.Expected) {
    case Saved::Nothing:
        if (c.Named) {
            EXPECT_EQ(TitleInFile(own), "as opened");
        }
        EXPECT_EQ(QDir(dir_.path()).entryList({ QStringLiteral("*.pdi") }).size(), c.Named ? 1 : 0);
        break;
    case Saved::ToChosenFile:
        EXPECT_EQ(TitleInFile(dir_.filePath(QString::fromLatin1(c.SaveDialog.back()))), typed);
        break;
    case Saved::ToOwnFile: EXPECT_EQ(TitleInFile(own), typed); break;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Prompt,
    testing::Values(PromptCase { "NoDiscards", false, QMessageBox::No, {}, true, Saved::Nothing },
        PromptCase { "CancelAbandons", false, QMessageBox::Cancel, {}, false, Saved::Nothing },
        PromptCase { "YesThenCancelledSaveDialogAbandons", false, QMessageBox::Yes, { "" }, false,
            Saved::Nothing },
        PromptCase { "YesSavesUnnamedThroughSaveAs", false, QMessageBox::Yes, { "chosen.pdi" },
            true, Saved::ToChosenFile },
        PromptCase {
            "YesSavesNamedWithoutDialog", true, QMessageBox::Yes, {}, true, Saved::ToOwnFile },
        PromptCase { "NoKeepsNamedFileAsItWas", true, QMessageBox::No, {}, true, Saved::Nothing }),
    [](const testing::TestParamInfo<PromptCase>& info) { return std::string(info.param.Name); });

TEST_F(MainWindowTest, YesWithFailedSaveAbandons)
{
    Script script;
    TypeTitle(QStringLiteral("Typed"));
    script.Answers = { QMessageBox::Yes, QMessageBox::Ok };
    script.Files = { dir_.filePath(QStringLiteral("no such folder/x.pdi")) };
    EXPECT_FALSE(window_->FileNew());
    ASSERT_EQ(script.Messages.size(), 2u); // the prompt, then the failed write
    EXPECT_EQ(script.Messages[1].Icon, QMessageBox::Warning);
    EXPECT_EQ(script.Messages[1].Title, QStringLiteral("Pendrake"));
    EXPECT_EQ(P().ProjectTitle, "Typed");
    EXPECT_TRUE(Modified());
}

TEST_F(MainWindowTest, CancelOnCloseKeepsTheWindow)
{
    Script script;
    TypeTitle(QStringLiteral("Typed"));
    script.Answers = { QMessageBox::Cancel };
    EXPECT_FALSE(window_->close());
    EXPECT_TRUE(window_->isVisible());
    script.Answers = { QMessageBox::No };
    EXPECT_TRUE(window_->close());
    EXPECT_EQ(script.Messages.size(), 2u);
}

TEST_F(MainWindowTest, CancelOnOpenAsksForNoFile)
{
    Script script;
    TypeTitle(QStringLiteral("Typed"));
    script.Answers = { QMessageBox::Cancel };
    EXPECT_FALSE(window_->FileOpen());
    EXPECT_TRUE(script.Requests.empty());
}

TEST_F(MainWindowTest, UnmodifiedProjectIsNotPrompted)
{
    Script script;
    EXPECT_TRUE(window_->FileNew());
    EXPECT_TRUE(script.Messages.empty());
}

TEST_F(MainWindowTest, TypingTheTitleMarksModified)
{
    TypeTitle(QStringLiteral("Quay wall, section 3"));
    EXPECT_EQ(P().ProjectTitle, "Quay wall, section 3");
    EXPECT_TRUE(Modified());
}

// ---------------------------------------------------------------------------------------------
// Titles, file dialogs and failures

TEST_F(MainWindowTest, TitlesAfterNewOpenAndSaveAs)
{
    Script script;
    EXPECT_EQ(Title(), QStringLiteral("Pendrake"));

    ASSERT_TRUE(window_->FileNew());
    EXPECT_EQ(Title(), NewTitle);

    const QString a = MakeFile(QStringLiteral("a.pdi"), "A");
    script.Files = { a };
    ASSERT_TRUE(window_->FileOpen());
    EXPECT_EQ(Title(), QStringLiteral("Pendrake 1.10.40 - ") + a);
    EXPECT_EQ(P().ProjectTitle, "A");
    EXPECT_EQ(Find<QLineEdit>(QStringLiteral("Text1"))->text(), QStringLiteral("A"));
    EXPECT_FALSE(Modified());

    const QString b = dir_.filePath(QStringLiteral("b.pdi"));
    script.Files = { b };
    ASSERT_TRUE(window_->FileSaveAs());
    EXPECT_EQ(Title(), QStringLiteral("Pendrake: ") + b);
    EXPECT_EQ(window_->Document().FileName(), b.toStdString());
    EXPECT_EQ(TitleInFile(b), "A");

    // The dialogs: their titles, filter, suffix, and where they start.
    ASSERT_EQ(script.Requests.size(), 2u);
    const FileDialogRequest& open = script.Requests[0];
    EXPECT_FALSE(open.Save);
    EXPECT_EQ(open.Title, QStringLiteral("Pendrake: Open file"));
    EXPECT_EQ(open.Filter, QStringLiteral("Input files (*.pdi);;All files (*.*)"));
    EXPECT_EQ(open.Directory, QString()); // the current directory at first
    const FileDialogRequest& save = script.Requests[1];
    EXPECT_TRUE(save.Save);
    EXPECT_EQ(save.Title, QStringLiteral("Pendrake: Save as"));
    EXPECT_EQ(save.DefaultSuffix, QStringLiteral("pdi"));
    EXPECT_EQ(save.Directory, a); // the project's own name in its folder
    EXPECT_EQ(save.Filter, open.Filter);

    // File Save writes over its own file without a dialog and keeps the title.
    TypeTitle(QStringLiteral(" revised"));
    ASSERT_TRUE(window_->FileSave());
    EXPECT_EQ(TitleInFile(b), "A revised");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(script.Requests.size(), 2u);
    EXPECT_EQ(Title(), QStringLiteral("Pendrake: ") + b);

    // A later Open dialog starts in the folder of the last file.
    ASSERT_TRUE(window_->FileNew());
    script.Files = { QString() };
    EXPECT_FALSE(window_->FileOpen());
    EXPECT_EQ(script.Requests.back().Directory, dir_.path());
    EXPECT_EQ(Title(), NewTitle); // a cancelled dialog changes nothing
}

TEST_F(MainWindowTest, UnreadableFileLeavesTheProjectUntouched)
{
    Script script;
    TypeTitle(QStringLiteral("Typed"));
    const QString bad = dir_.filePath(QStringLiteral("bad.pdi"));
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not a project file");
    }
    script.Answers = { QMessageBox::No, QMessageBox::Ok };
    script.Files = { bad };
    EXPECT_FALSE(window_->FileOpen());
    ASSERT_EQ(script.Messages.size(), 2u);
    EXPECT_EQ(script.Messages[1].Icon, QMessageBox::Warning);
    EXPECT_EQ(script.Messages[1].Title, QStringLiteral("Pendrake"));
    EXPECT_FALSE(script.Messages[1].Text.isEmpty());
    EXPECT_EQ(P().ProjectTitle, "Typed");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(window_->Document().FileName(), "");
    EXPECT_EQ(Title(), QStringLiteral("Pendrake"));
    EXPECT_EQ(window_->Recent().Count, 0);
}

TEST_F(MainWindowTest, FailedSaveAsKeepsNameTitleAndModified)
{
    Script script;
    TypeTitle(QStringLiteral("Typed"));
    script.Files = { dir_.filePath(QStringLiteral("no such folder/x.pdi")) };
    script.Answers = { QMessageBox::Ok };
    EXPECT_FALSE(window_->FileSaveAs());
    ASSERT_EQ(script.Messages.size(), 1u);
    EXPECT_EQ(script.Messages[0].Title, QStringLiteral("Pendrake"));
    EXPECT_EQ(window_->Document().FileName(), "");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Title(), QStringLiteral("Pendrake"));
    EXPECT_EQ(window_->Recent().Count, 0);
}

// ---------------------------------------------------------------------------------------------
// Recent files

TEST_F(MainWindowTest, RecentFilesFollowOpeningAndTheMenuShowsThem)
{
    Script script;
    std::vector<QString> paths;
    for (const char* name : { "a", "b", "c", "d", "e" }) {
        paths.push_back(MakeFile(QString::fromLatin1(name) + QStringLiteral(".pdi"), name));
        script.Files = { paths.back() };
        ASSERT_TRUE(window_->FileOpen());
    }
    const auto S = [&](int i) { return paths[i].toStdString(); };
    EXPECT_EQ(RecentList(), (std::vector<std::string> { S(4), S(3), S(2), S(1) }));

    script.Files = { paths[2] };
    ASSERT_TRUE(window_->FileOpen());
    EXPECT_EQ(RecentList(), (std::vector<std::string> { S(2), S(4), S(3), S(1) }));

    EXPECT_TRUE(Action("mnuFileListSeparator")->isVisible());
    for (int i = 1; i <= 4; ++i) {
        QAction* item = Action(("mnuFileList_" + std::to_string(i)).c_str());
        EXPECT_TRUE(item->isVisible());
        EXPECT_EQ(item->text(),
            QStringLiteral("&") + QString::number(i) + QStringLiteral(" ")
                + QString::fromStdString(RecentList()[i - 1]));
    }

    // Recent item 3 opens that file without a dialog and moves it to the top.
    const std::size_t requests = script.Requests.size();
    Action("mnuFileList_3")->trigger();
    EXPECT_EQ(script.Requests.size(), requests);
    EXPECT_EQ(P().ProjectTitle, "d");
    EXPECT_EQ(Title(), QStringLiteral("Pendrake 1.10.40 - ") + paths[3]);
    EXPECT_EQ(RecentList(), (std::vector<std::string> { S(3), S(2), S(4), S(1) }));
}

TEST_F(MainWindowTest, RecentMenuHiddenWhileEmptyAndNamesShowTheirAmpersand)
{
    Script script;
    EXPECT_FALSE(Action("mnuFileListSeparator")->isVisible());
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(Action(("mnuFileList_" + std::to_string(i)).c_str())->isVisible());

    const QString path = MakeFile(QStringLiteral("Smith & Sons.pdi"), "S");
    script.Files = { path };
    ASSERT_TRUE(window_->FileOpen());
    QString shown = path;
    shown.replace(QStringLiteral("&"), QStringLiteral("&&"));
    EXPECT_EQ(Action("mnuFileList_1")->text(), QStringLiteral("&1 ") + shown);
    EXPECT_FALSE(Action("mnuFileList_2")->isVisible());
}

TEST_F(MainWindowTest, LetterCaseDifferentPathIsANewRecentEntry)
{
    Script script;
    const QString lower = MakeFile(QStringLiteral("wall.pdi"), "lower");
    const QString upper = MakeFile(QStringLiteral("WALL.pdi"), "upper");
    script.Files = { lower, upper };
    ASSERT_TRUE(window_->FileOpen());
    ASSERT_TRUE(window_->FileOpen());
    EXPECT_EQ(
        RecentList(), (std::vector<std::string> { upper.toStdString(), lower.toStdString() }));
}

TEST_F(MainWindowTest, RecentItemOpensTheChosenFileAfterSavingAnUnnamedProject)
{
    Script script;
    const QString a = MakeFile(QStringLiteral("a.pdi"), "A");
    const QString b = MakeFile(QStringLiteral("b.pdi"), "B");
    script.Files = { a, b };
    ASSERT_TRUE(window_->FileOpen());
    ASSERT_TRUE(window_->FileOpen());
    ASSERT_TRUE(window_->FileNew());
    TypeTitle(QStringLiteral("Fresh"));

    // Item 2 is a.pdi. Saving the unnamed project puts its file on top of the list first.
    const QString fresh = dir_.filePath(QStringLiteral("fresh.pdi"));
    script.Answers = { QMessageBox::Yes };
    script.Files = { fresh };
    Action("mnuFileList_2")->trigger();
    EXPECT_EQ(P().ProjectTitle, "A");
    EXPECT_EQ(TitleInFile(fresh), "Fresh");
    EXPECT_EQ(RecentList(),
        (std::vector<std::string> { a.toStdString(), fresh.toStdString(), b.toStdString() }));
}

// ---------------------------------------------------------------------------------------------
// Views

TEST_F(MainWindowTest, NoViewIsSelectedAtStart)
{
    EXPECT_EQ(window_->SelectedView(), -1);
    for (int k = 0; k < ViewCount; ++k) {
        EXPECT_FALSE(Find<QRadioButton>(QStringLiteral("optView_%1").arg(k))->isChecked());
        EXPECT_FALSE(Action(("mnuView_" + std::to_string(k)).c_str())->isChecked());
    }
}

TEST_F(MainWindowTest, OptionButtonsAndViewMenuSelectTheSameView)
{
    // Reactions is left out: whether it is shown depends on the wall's stability.
    constexpr int LoadViews = 8;
    for (int k = 0; k < LoadViews; ++k) {
        const bool byMenu = k % 2 == 1;
        if (byMenu) {
            Action(("mnuView_" + std::to_string(k)).c_str())->trigger();
        } else {
            QRadioButton* option = Find<QRadioButton>(QStringLiteral("optView_%1").arg(k));
            QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(4, option->height() / 2));
        }
        EXPECT_EQ(window_->SelectedView(), k);
        EXPECT_EQ(static_cast<int>(window_->View()->View()), k);
        for (int j = 0; j < ViewCount; ++j) {
            EXPECT_EQ(Find<QRadioButton>(QStringLiteral("optView_%1").arg(j))->isChecked(), j == k)
                << "view " << k << ", option " << j;
            EXPECT_EQ(Action(("mnuView_" + std::to_string(j)).c_str())->isChecked(), j == k)
                << "view " << k << ", menu item " << j;
        }
    }
    // The View menu item of the view shown leaves it shown and checked.
    Action("mnuView_7")->trigger();
    EXPECT_EQ(window_->SelectedView(), 7);
    EXPECT_TRUE(Action("mnuView_7")->isChecked());
}

// ---------------------------------------------------------------------------------------------
// Controls, menus and layout

TEST_F(MainWindowTest, MenusAndButtonsCarryTheirCaptionsAndAreEnabled)
{
    struct Item {
        const char* Name;
        const char* Caption;
        bool Enabled;
    };
    const Item items[] = {
        { "mnuFile", "&File", true },
        { "mnuFileNew", "&New", true },
        { "mnuFileOpen", "&Open", true },
        { "mnuFileSave", "&Save", true },
        { "mnuFileSaveAs", "Sa&ve as", true },
        { "mnuFilePrint", "&Print", true },
        { "mnuFilePrinterSetup", "P&rinter setup", true },
        { "mnuFileExit", "E&xit", true },
        { "mnuEdit", "&Edit", true },
        { "mnuEditProperties", "&Properties", true },
        { "mnuEditLoads", "&Loads", true },
        { "mnuEditAnchors", "&Anchors", true },
        { "mnuView", "&View", true },
        { "mnuView_0", "Di&mensions", true },
        { "mnuView_1", "&Dead loads", true },
        { "mnuView_2", "&Live loads", true },
        { "mnuView_3", "&Soil pressure", true },
        { "mnuView_4", "&Water pressure", true },
        { "mnuView_5", "S&tructural loads", true },
        { "mnuView_6", "&Impact loads", true },
        { "mnuView_7", "S&eismic loads", true },
        { "mnuView_8", "&Reactions", true },
        { "mnuCalculate", "&Calculate", true },
        { "mnuCalculateStability", "&Stability", true },
        { "mnuCalculateConcrete", "&Concrete design", true },
        { "mnuCalculateCalculator", "Ca&lculator", true },
        { "mnuCalculateSheet", "Calculation S&heet", true },
        { "mnuOption", "&Option", true },
        { "mnuOptionUnit", "&Unit", true },
        { "mnuUnit_0", "&Metric", true },
        { "mnuUnit_1", "&SI", true },
        { "mnuUnit_2", "&British", true },
        { "mnuHelp", "&Help", true },
        { "mnuHelpContents", "&User Guide", true },
        { "mnuHelpAbout", "&About", true },
    };
    for (const Item& item : items) {
        QAction* action = Action(item.Name);
        ASSERT_NE(action, nullptr) << item.Name;
        EXPECT_EQ(action->text(), QString::fromLatin1(item.Caption)) << item.Name;
        EXPECT_EQ(action->isEnabled(), item.Enabled) << item.Name;
    }

    const Item buttons[] = { { "Command1", "&Anchors", true }, { "Command2", "&Properties", true },
        { "Command3", "&Loads", true }, { "Command4", "&Stability", true },
        { "Command5", "Co&ncrete", true } };
    for (const Item& item : buttons) {
        QPushButton* button = Find<QPushButton>(QString::fromLatin1(item.Name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(item.Caption));
        EXPECT_EQ(button->isEnabled(), item.Enabled) << item.Name;
    }
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Label4"))->text(), QStringLiteral("Pendrake 1.10.40"));
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("Unit:"));
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Label2"))->text(), QStringLiteral("View:"));
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Label3"))->text(), QStringLiteral("Loads"));
    QComboBox* combo1 = Find<QComboBox>(QStringLiteral("Combo1"));
    ASSERT_EQ(combo1->count(), 3);
    EXPECT_EQ(combo1->itemText(2), QStringLiteral("British"));
    EXPECT_TRUE(Action("mnuUnit_0")->isChecked());
}

TEST_F(MainWindowTest, SmallestWindowKeepsTheRightColumnApart)
{
    window_->resize(50, 50);
    QApplication::processEvents();
    QWidget* client = window_->centralWidget();
    EXPECT_GE(client->width(), Px(6720));
    EXPECT_GE(client->height(), Px(5940));

    // The lowest view option stays above the highest command button, and the drawing panel
    // left of both.
    const QRect lastOption = Find<QRadioButton>(QStringLiteral("optView_8"))->geometry();
    const QRect firstButton = Find<QPushButton>(QStringLiteral("Command1"))->geometry();
    EXPECT_LE(lastOption.bottom(), firstButton.top());
    const QRect drawing = Find<QWidget>(QStringLiteral("Panel3D1"))->geometry();
    EXPECT_LT(drawing.right(), firstButton.left());
    EXPECT_LE(firstButton.right(), client->width());
    EXPECT_GT(Find<QWidget>(QStringLiteral("Picture1"))->width(), 0);

    // Kept for a look at the layout, not compared: fonts differ between machines.
    QDir().mkpath(QStringLiteral(PENDRAKE_TEST_OUTPUT_DIR));
    window_->grab().save(QStringLiteral(PENDRAKE_TEST_OUTPUT_DIR "/main-window-smallest.png"));
}

// ---------------------------------------------------------------------------------------------
// Commands that open windows

// Runs `command` while the modal window `name` it opens is inspected by `look` and closed.
void WithModal(const char* name, const std::function<void(QWidget*)>& look,
    const std::function<void()>& command)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == QLatin1String(name)) {
                seen = true;
                look(w);
                w->close();
            }
        }
    });
    command();
    EXPECT_TRUE(seen) << name << " was not shown";
}

TEST_F(MainWindowTest, StabilityCommandShowsTheDocumentsServiceRun)
{
    const StabilityResults expected = ComputeStability(P());
    const int runs = window_->Document().CombinationRuns();
    WithModal(
        "frmStability",
        [&](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), QStringLiteral("Pendrake: Stability"));
            auto* vertical = w->findChild<QLabel*>(QStringLiteral("lblTotalVertical"));
            ASSERT_NE(vertical, nullptr);
            EXPECT_EQ(
                vertical->text().toStdString(), FormatNumber(expected.TotalVertical, "#0.#0"));
        },
        [&] { Find<QPushButton>(QStringLiteral("Command4"))->click(); });
    // The window shows what the document holds: no run of its own.
    EXPECT_EQ(window_->Document().CombinationRuns(), runs);
}

TEST_F(MainWindowTest, SteepSlopeIsFlattenedAsAStepOfItsOwnWithItsMessagesOnce)
{
    // 1 : 1 is steeper than the 30° friction angle of the default backfill.
    Project steep = P();
    steep.BackfillSlope = 1.0f;
    const StabilityResults expected = ComputeStability(steep);
    ASSERT_FALSE(expected.Messages.empty());
    ASSERT_TRUE(expected.Loads.SlopeAdjusted);

    Script script;
    for (int i = 0; i < 8; ++i)
        script.Answers.push_back(QMessageBox::Ok);
    window_->Commit(steep, QStringLiteral("Backfill slope"));
    // Each message of the run once, the stability's first, as warnings titled "Pendrake".
    ASSERT_GE(script.Messages.size(), expected.Messages.size());
    for (std::size_t i = 0; i < expected.Messages.size(); ++i) {
        EXPECT_EQ(script.Messages[i].Text.toStdString(), expected.Messages[i]);
        EXPECT_EQ(script.Messages[i].Title, QStringLiteral("Pendrake"));
        EXPECT_EQ(script.Messages[i].Icon, QMessageBox::Warning);
    }
    for (std::size_t i = 0; i < script.Messages.size(); ++i)
        for (std::size_t j = i + 1; j < script.Messages.size(); ++j)
            EXPECT_NE(script.Messages[i].Text, script.Messages[j].Text);
    EXPECT_FLOAT_EQ(P().BackfillSlope, expected.Loads.ProposedBackfillSlope);
    EXPECT_GT(P().BackfillSlope, 1.0f);

    // Two steps: Undo brings back the slope as typed, the second Undo the slope before.
    QUndoStack& undo = window_->UndoStack();
    ASSERT_EQ(undo.count(), 2);
    EXPECT_TRUE(undo.text(1).startsWith(QStringLiteral("Backfill slope flattened to 1 : ")));
    const std::size_t told = script.Messages.size();
    undo.undo();
    EXPECT_FLOAT_EQ(P().BackfillSlope, 1.0f);
    undo.undo();
    EXPECT_FLOAT_EQ(P().BackfillSlope, MakeNewProject(TestFont).BackfillSlope);
    undo.redo();
    undo.redo();
    EXPECT_FLOAT_EQ(P().BackfillSlope, expected.Loads.ProposedBackfillSlope);
    EXPECT_EQ(script.Messages.size(), told) << "undo and redo are quiet";
    // Redrawing says nothing either: the messages belong to the change.
    window_->View()->Redraw(true);
    window_->SelectView(int(WallViewKind::Seismic));
    window_->SelectView(int(WallViewKind::Soil));
    EXPECT_EQ(script.Messages.size(), told);
}

// ---------------------------------------------------------------------------------------------
// Undo and redo

// Runs `act` on the modal window `name` once it is up, from inside its modal loop.
void WhenModalOpens(const char* name, std::function<void(QWidget*)> act)
{
    constexpr int PollMilliseconds = 5;
    constexpr int GiveUpAfterPolls = 1000;
    auto* timer = new QTimer;
    timer->setInterval(PollMilliseconds);
    auto polls = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, polls, name] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible() || modal->objectName() != QLatin1String(name)) {
            if (++*polls > GiveUpAfterPolls) {
                timer->stop();
                timer->deleteLater();
                ADD_FAILURE() << name << " did not open";
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

// Replaces a box's text as typed and leaves it with Tab, so that its check runs.
void TypeAndLeave(QWidget* window, const char* box, const char* text)
{
    auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(box));
    ASSERT_NE(edit, nullptr) << box;
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
    QTest::keyClick(edit, Qt::Key_Tab);
}

void Press(QWidget* window, const char* button)
{
    auto* b = window->findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    QTest::mouseClick(b, Qt::LeftButton);
}

TEST_F(MainWindowTest, EachKindOfStepUndoesAndRedoesByteForByte)
{
    struct StepCase {
        const char* Kind;
        const char* Step; // as Edit > Undo names it after "Undo "
        std::function<void(MainWindowTest&)> Act;
    };
    const std::vector<StepCase> cases = {
        { "Properties", "Properties",
            [](MainWindowTest&) {
                WhenModalOpens("frmProperties", [](QWidget* w) {
                    TypeAndLeave(w, "txtValue_0", "2.5");
                    Press(w, "Command1");
                });
            } },
        { "Loads", "Loads",
            [](MainWindowTest&) {
                WhenModalOpens("frmLoads", [](QWidget* w) {
                    TypeAndLeave(w, "txtSeismic", "0.12");
                    Press(w, "cmdAccept");
                });
            } },
        { "Anchors", "Anchors",
            [](MainWindowTest&) {
                WhenModalOpens("frmAnchor", [](QWidget* w) {
                    TypeAndLeave(w, "Text1_1", "1.75");
                    Press(w, "Command1");
                });
            } },
    };
    const std::vector<const char*> commands
        = { "mnuEditProperties", "mnuEditLoads", "mnuEditAnchors" };
    QUndoStack& undo = window_->UndoStack();
    Script script;
    for (int i = 0; i < 8; ++i)
        script.Answers.push_back(QMessageBox::Ok);
    for (size_t k = 0; k < cases.size(); ++k) {
        SCOPED_TRACE(cases[k].Kind);
        const std::vector<uint8_t> before = ProjectFileBytes(P(), nullptr);
        const int count = undo.count();
        cases[k].Act(*this);
        Action(commands[k])->trigger();
        ASSERT_EQ(undo.count(), count + 1);
        EXPECT_EQ(undo.undoText(), QString::fromUtf8(cases[k].Step));
        EXPECT_EQ(Action("mnuEditUndo")->text(),
            QStringLiteral("&Undo ") + QString::fromUtf8(cases[k].Step));
        const std::vector<uint8_t> after = ProjectFileBytes(P(), nullptr);
        EXPECT_NE(after, before);
        Action("mnuEditUndo")->trigger();
        EXPECT_EQ(ProjectFileBytes(P(), nullptr), before);
        Action("mnuEditRedo")->trigger();
        EXPECT_EQ(ProjectFileBytes(P(), nullptr), after);
    }
}

TEST_F(MainWindowTest, DimensionUnitBarAndTitleStepsUndoByteForByte)
{
    QUndoStack& undo = window_->UndoStack();
    Script script;
    for (int i = 0; i < 8; ++i)
        script.Answers.push_back(QMessageBox::Ok);
    struct Case {
        const char* Kind;
        QString Step;
        std::function<void()> Act;
    };
    const std::vector<Case> cases = {
        { "dimension", QStringLiteral("Top width 0.50 \u2192 0.80 m"),
            [this] {
                QString title;
                WhenModalOpens("frmEdit", [&title](QWidget* w) {
                    title = w->windowTitle();
                    auto* text = w->findChild<QLineEdit*>(QStringLiteral("Text1"));
                    text->selectAll();
                    QTest::keyClicks(text, QStringLiteral("0.8"));
                    QTest::keyClick(text, Qt::Key_Return);
                });
                QTest::mouseClick(window_->View()->findChild<QLabel*>(QStringLiteral("lblDim_0")),
                    Qt::LeftButton);
                EXPECT_EQ(title, QStringLiteral("Pendrake: Top width (m)"));
            } },
        { "unit", QStringLiteral("Unit system Metric \u2192 SI"),
            [this] { Action("mnuUnit_1")->trigger(); } },
        { "bar", QStringLiteral("Bar diameter of row 3 "),
            [this] {
                WhenModalOpens("frmRein", [](QWidget* w) {
                    // Enter applies the bar as leaving the box does.
                    auto* box = w->findChild<QLineEdit*>(QStringLiteral("txtReinDia_3"));
                    ASSERT_NE(box, nullptr);
                    box->selectAll();
                    QTest::keyClicks(box, QStringLiteral("20"));
                    QTest::keyClick(box, Qt::Key_Return);
                    Press(w, "Command1");
                });
                Action("mnuCalculateConcrete")->trigger();
            } },
        { "title", QStringLiteral("Project title"),
            [this] { TypeTitle(QStringLiteral("Quay 3")); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Kind);
        const std::vector<uint8_t> before = ProjectFileBytes(P(), nullptr);
        const int count = undo.count();
        c.Act();
        // Keystrokes in the title make one step, not one each.
        ASSERT_EQ(undo.count(), count + 1);
        EXPECT_TRUE(undo.undoText().startsWith(c.Step)) << undo.undoText().toStdString();
        const std::vector<uint8_t> after = ProjectFileBytes(P(), nullptr);
        EXPECT_NE(after, before);
        undo.undo();
        EXPECT_EQ(ProjectFileBytes(P(), nullptr), before);
        undo.redo();
        EXPECT_EQ(ProjectFileBytes(P(), nullptr), after);
    }
    EXPECT_EQ(P().ProjectTitle, "Quay 3");
    // A typed bar pins the six rows of bars the design shows, in SI millimetres stored as cm.
    EXPECT_TRUE(P().ReinUserSet);
    EXPECT_FLOAT_EQ(P().ReinDia[3], 2.0f);
}

TEST_F(MainWindowTest, UnsavedMarkFollowsTheCleanStateOfTheHistory)
{
    Script script;
    QUndoStack& undo = window_->UndoStack();
    EXPECT_FALSE(window_->isWindowModified());
    TypeTitle(QStringLiteral("A"));
    EXPECT_TRUE(window_->isWindowModified());
    undo.undo();
    EXPECT_FALSE(window_->isWindowModified()) << "back at the state as it was";
    EXPECT_FALSE(Modified());
    undo.redo();
    EXPECT_TRUE(window_->isWindowModified());

    // Saving makes this state the clean one; undoing leaves it again.
    const QString path = dir_.filePath(QStringLiteral("saved.pdi"));
    script.Files = { path };
    ASSERT_TRUE(window_->FileSaveAs());
    EXPECT_FALSE(window_->isWindowModified());
    undo.undo();
    EXPECT_TRUE(window_->isWindowModified());
    undo.redo();
    EXPECT_FALSE(window_->isWindowModified());
}

TEST_F(MainWindowTest, NewAndOpenStartTheHistoryAgain)
{
    Script script;
    const QString file = MakeFile(QStringLiteral("a.pdi"), "A");
    QUndoStack& undo = window_->UndoStack();
    TypeTitle(QStringLiteral("x"));
    Action("mnuUnit_2")->trigger();
    ASSERT_EQ(undo.count(), 2);
    script.Answers = { QMessageBox::No };
    ASSERT_TRUE(window_->FileNew());
    EXPECT_EQ(undo.count(), 0);
    EXPECT_FALSE(Action("mnuEditUndo")->isEnabled());
    TypeTitle(QStringLiteral("y"));
    script.Answers = { QMessageBox::No };
    script.Files = { file };
    ASSERT_TRUE(window_->FileOpen());
    EXPECT_EQ(undo.count(), 0);
    EXPECT_FALSE(window_->isWindowModified());
    EXPECT_EQ(P().ProjectTitle, "A");
}

TEST_F(MainWindowTest, StandardKeysAndAccessKeys)
{
    const std::vector<std::pair<const char*, QKeySequence>> keys = {
        { "mnuFileNew", QKeySequence(QStringLiteral("Ctrl+N")) },
        { "mnuFileOpen", QKeySequence(QStringLiteral("Ctrl+O")) },
        { "mnuFileSave", QKeySequence(QStringLiteral("Ctrl+S")) },
        { "mnuFileSaveAs", QKeySequence(QStringLiteral("Ctrl+Shift+S")) },
        { "mnuFilePrint", QKeySequence(QStringLiteral("Ctrl+P")) },
        { "mnuFileExit", QKeySequence(QStringLiteral("Ctrl+Q")) },
        { "mnuHelpContents", QKeySequence(QStringLiteral("F1")) },
        { "mnuEditUndo", QKeySequence(QKeySequence::Undo) },
        { "mnuEditRedo", QKeySequence(QKeySequence::Redo) },
    };
    for (const auto& [name, key] : keys)
        EXPECT_EQ(Action(name)->shortcut(), key) << name;
    // Alt+C opens the Calculate menu; the Concrete button answers to Alt+N.
    EXPECT_EQ(Find<QPushButton>(QStringLiteral("Command5"))->text(), QStringLiteral("Co&ncrete"));
    for (int i = 1; i <= 5; ++i) {
        const QPushButton* b = Find<QPushButton>(QStringLiteral("Command%1").arg(i));
        EXPECT_FALSE(b->text().contains(QStringLiteral("&C"), Qt::CaseInsensitive)) << i;
    }
    EXPECT_EQ(Action("mnuHelp")->text(), QStringLiteral("&Help"));
}

TEST_F(MainWindowTest, VerdictFollowsEveryChangeAndOpensTheStabilityWindow)
{
    const StabilityResults service = ComputeStability(P());
    const QString before = window_->VerdictText();
    EXPECT_TRUE(before.startsWith(QStringLiteral("Stable"))) << before.toStdString();
    EXPECT_TRUE(
        before.contains(QStringLiteral("overturning ") + SafetyText(service.OverturningSafety)));
    EXPECT_TRUE(before.contains(QStringLiteral("bearing ") + SafetyText(service.BearingSafetyMin)));
    EXPECT_TRUE(before.contains(QStringLiteral("sliding ") + SafetyText(service.SlidingSafetyMin)));
    EXPECT_TRUE(before.contains(QStringLiteral("utilisation ")));

    // An upward pull of 300 T at the wall top: the factored live load lifts the wall.
    Script script;
    for (int i = 0; i < 8; ++i)
        script.Answers.push_back(QMessageBox::Ok);
    Change([](Project& p) {
        p.LineLoadCount = 1;
        p.LineLoads[1] = { 300.0f, 4.0f, 10.0f, 0.0f, 2 };
    });
    EXPECT_NE(window_->VerdictText(), before);
    EXPECT_TRUE(window_->VerdictText().contains(QStringLiteral("not stable"), Qt::CaseInsensitive))
        << window_->VerdictText().toStdString();
    window_->UndoStack().undo();
    EXPECT_EQ(window_->VerdictText(), before);

    WithModal(
        "frmStability", [](QWidget*) {},
        [&] { Find<QPushButton>(QStringLiteral("cmdVerdict"))->click(); });
}

TEST_F(MainWindowTest, AboutBoxNamesVersionAndDate)
{
    WithModal(
        "frmAbout",
        [](QWidget* w) {
            auto* version = w->findChild<QLabel*>(QStringLiteral("lblVersion"));
            ASSERT_NE(version, nullptr);
            EXPECT_EQ(version->text(), QStringLiteral("Version 1.10.40 dated January 2008"));
            auto* close = w->findChild<QPushButton*>(QStringLiteral("cmdClose"));
            ASSERT_NE(close, nullptr);
            EXPECT_EQ(close->text(), QStringLiteral("Close"));
        },
        [&] { Action("mnuHelpAbout")->trigger(); });
}

TEST_F(MainWindowTest, PrinterSetupGoesThroughThePrinterDialog)
{
    int asked = 0;
    SetPrinterDialogFunction([&](QWidget*) {
        ++asked;
        return false; // cancelled: silent
    });
    Action("mnuFilePrinterSetup")->trigger();
    EXPECT_EQ(asked, 1);
}

TEST_F(MainWindowTest, CommandFailureIsShownAndTheWindowCarriesOn)
{
    Script script;
    SetFileDialogFunction([](QWidget*, const FileDialogRequest&) -> QString {
        throw std::runtime_error("The disk is not ready.");
    });
    script.Answers = { QMessageBox::Ok };
    EXPECT_FALSE(window_->FileOpen());
    ASSERT_EQ(script.Messages.size(), 1u);
    EXPECT_EQ(script.Messages[0].Text, QStringLiteral("The disk is not ready."));
    EXPECT_EQ(script.Messages[0].Title, QStringLiteral("Pendrake"));
    EXPECT_EQ(script.Messages[0].Icon, QMessageBox::Warning);
    EXPECT_TRUE(window_->FileNew());
}

// ---------------------------------------------------------------------------------------------
// Work that is never lost

class Autosave : public testing::Test {
protected:
    std::unique_ptr<MainWindow> Open()
    {
        StartupState startup;
        startup.Fonts = { TestFont, TestFont };
        auto window = std::make_unique<MainWindow>(startup, nullptr, folder_.path());
        window->show();
        return window;
    }
    std::vector<AutosaveCopy> Copies() const
    {
        return AutosaveStore(folder_.path().toStdString()).FindCopies();
    }
    static void Edit(MainWindow& w, const char* title)
    {
        Project p = w.Document().Record();
        p.ProjectTitle = title;
        w.Commit(p, QStringLiteral("Project title"));
    }

    QTemporaryDir folder_;
    QTemporaryDir files_;
};

TEST_F(Autosave, AStepIsCopiedAndTheCopyGoesWithSaveDiscardAndExit)
{
    Script script;
    auto w = Open();
    w->AutosaveIfDue();
    EXPECT_TRUE(Copies().empty()) << "nothing to keep while the project is as it was";
    Edit(*w, "first");
    w->AutosaveIfDue(); // the first step makes a copy due at once
    ASSERT_EQ(Copies().size(), 1u);
    Project copy = MakeNewProject(TestFont);
    ASSERT_TRUE(AutosaveStore::Read(Copies()[0], copy).Ok);
    EXPECT_EQ(ProjectFileBytes(copy, nullptr), ProjectFileBytes(w->Document().Record(), nullptr));

    // Saved: the copy goes.
    script.Files = { files_.filePath(QStringLiteral("wall1.pdi")) };
    ASSERT_TRUE(w->FileSaveAs());
    EXPECT_TRUE(Copies().empty());
    // Undo back to a state that is not on disk makes the next copy; a discard drops it.
    w->UndoStack().undo();
    w->AutosaveIfDue();
    w->UndoStack().redo(); // back at the saved state: no copy is needed any more
    EXPECT_TRUE(Copies().empty());
    w->UndoStack().undo();
    w->AutosaveIfDue();
    EXPECT_EQ(Copies().size(), 0u) << "a second copy within 10 s waits";
    Edit(*w, "second");
    script.Answers = { QMessageBox::No };
    ASSERT_TRUE(w->FileNew());
    EXPECT_TRUE(Copies().empty());
    // A clean exit leaves nothing behind, even after a copy was written.
    Edit(*w, "third");
    w->AutosaveIfDue();
    script.Answers = { QMessageBox::No };
    w->close();
    EXPECT_TRUE(Copies().empty());
}

TEST_F(Autosave, RecoveryIsOfferedAfterACrashAndNotAfterACleanExit)
{
    Script script;
    std::vector<uint8_t> lost;
    {
        auto crashed = Open();
        Edit(*crashed, "typed before the crash");
        crashed->AutosaveIfDue();
        lost = ProjectFileBytes(crashed->Document().Record(), nullptr);
        // The process dies: no close, no prompt.
    }
    ASSERT_EQ(Copies().size(), 1u);
    auto next = Open();
    script.Answers = { QMessageBox::Yes };
    EXPECT_TRUE(next->OfferRecovery());
    ASSERT_EQ(script.Messages.size(), 1u);
    EXPECT_TRUE(script.Messages[0].Text.startsWith(
        QStringLiteral("Recover the unsaved changes to [Unnamed] from ")))
        << script.Messages[0].Text.toStdString();
    EXPECT_EQ(script.Messages[0].Buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(ProjectFileBytes(next->Document().Record(), nullptr), lost);
    EXPECT_TRUE(next->isWindowModified()) << "recovered work is not saved work";

    script.Answers = { QMessageBox::No };
    next->close();
    EXPECT_TRUE(Copies().empty());
    auto third = Open();
    EXPECT_FALSE(third->OfferRecovery());
    EXPECT_EQ(script.Messages.size(), 2u) << "no question without a copy";
}

TEST_F(Autosave, RecentFilesAreWrittenWhenTheyChange)
{
    Script script;
    auto w = Open();
    const QString path = files_.filePath(QStringLiteral("kept.pdi"));
    script.Files = { path };
    ASSERT_TRUE(w->FileSaveAs());
    // Read back as the next start would, while this window still runs (as if killed now).
    const RecentFiles read = LoadRecentFiles();
    ASSERT_GE(read.Count, 1);
    EXPECT_EQ(read.File[1], path.toStdString());
}

// ---------------------------------------------------------------------------------------------
// Placement and shut-down

class Placement : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window_->hide();
    }
};

// Multiples of 15 twips are whole pixels, so the placement survives the round trip exactly.
TEST_F(Placement, NormalWindowReportsWhereItIs)
{
    const WindowPlacement wanted { WindowStateNormal, 1500, 1200, 9600, 7200 };
    window_->ShowWithPlacement(wanted);
    EXPECT_EQ(window_->Placement(), wanted);
}

TEST_F(Placement, FirstStartFitsTheWindowWithItsFrameIntoTheFreeScreenArea)
{
    // The first start asks for the whole screen; the buttons at the bottom must stay in view.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    window_->ShowWithPlacement(
        { WindowStateNormal, 0, 0, int(Twips(screen.width())), int(Twips(screen.height())) });
    QApplication::processEvents();
    EXPECT_LE(window_->geometry().bottom(), area.bottom());
    EXPECT_LE(window_->geometry().right(), area.right());
    EXPECT_GE(window_->geometry().top(), area.top());
    // Every command button is inside the window.
    for (int i = 1; i <= 5; ++i) {
        auto* b = Find<QPushButton>(QStringLiteral("Command%1").arg(i));
        const QRect at(b->mapTo(window_.get(), QPoint(0, 0)), b->size());
        EXPECT_TRUE(window_->rect().contains(at)) << i;
    }
}

TEST_F(Placement, MaximisedWindowKeepsItsNormalPlacement)
{
    const WindowPlacement wanted { WindowStateMaximised, 1500, 1200, 9600, 7200 };
    window_->ShowWithPlacement(wanted);
    QApplication::processEvents();
    EXPECT_TRUE(window_->isMaximized());
    EXPECT_EQ(window_->Placement(), wanted);
}

TEST_F(Placement, MinimisedWindowComesBackNormal)
{
    window_->ShowWithPlacement({ WindowStateNormal, 1500, 1200, 9600, 7200 });
    window_->showMinimized();
    QApplication::processEvents();
    const WindowPlacement expected { WindowStateNormal, 1500, 1200, 9600, 7200 };
    EXPECT_EQ(window_->Placement(), expected);
}

TEST_F(Placement, PlacementOffEveryScreenOpensOnThePrimaryScreen)
{
    window_->ShowWithPlacement({ WindowStateNormal, 600000, 600000, 9600, 7200 });
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(window_->frameGeometry()));
}

TEST_F(Placement, ClosingSavesRecentFilesDirectoryAndPlacement)
{
    Script script;
    const QString a = MakeFile(QStringLiteral("a.pdi"), "A");
    window_->ShowWithPlacement({ WindowStateNormal, 1500, 1200, 9600, 7200 });
    script.Files = { a };
    ASSERT_TRUE(window_->FileOpen());
    ASSERT_TRUE(window_->close());
    const RecentFiles recent = LoadRecentFiles();
    ASSERT_EQ(recent.Count, 1);
    EXPECT_EQ(recent.File[1], a.toStdString());
    const WindowPlacement expected { WindowStateNormal, 1500, 1200, 9600, 7200 };
    EXPECT_EQ(LoadWindowPlacement(0, 0), expected);
}

// ---------------------------------------------------------------------------------------------
// Start-up pieces

TEST(InstanceLock, SecondInstanceIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto first = std::make_unique<InstanceLock>(dir.path());
    InstanceLock second(dir.path());
    EXPECT_TRUE(first->Acquire());
    EXPECT_FALSE(second.Acquire());
    first.reset();
    EXPECT_TRUE(second.Acquire());
}

TEST(InstanceLock, LockOfACrashedInstanceIsTakenOver)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    InstanceLock lock(dir.path());

    // A process that has ended stands for the crashed instance whose lock file stayed behind.
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
}

TEST(InstanceLock, FolderWithoutRoomForALockDoesNotRefuseTheStart)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    InstanceLock lock(dir.filePath(QStringLiteral("gone/with/the/wind")));
    EXPECT_TRUE(lock.Acquire());
}

struct FontCase {
    const char* Name;
    QStringList Installed;
    const char* Text;
    const char* Greek;
};

class FontChoiceRules : public testing::TestWithParam<FontCase> { };

TEST_P(FontChoiceRules, ChoosesByPreference)
{
    const FontChoice choice = ChooseFonts(GetParam().Installed);
    EXPECT_EQ(choice.TextFont, GetParam().Text);
    EXPECT_EQ(choice.GreekFont, GetParam().Greek);
}

INSTANTIATE_TEST_SUITE_P(Cases, FontChoiceRules,
    testing::Values(
        FontCase { "ArialFirst", { "DejaVu Sans", "Liberation Sans", "Symbol", "Arial" }, "Arial",
            "Symbol" },
        FontCase { "ArialsMetricTwinBeforeTimes", { "Times New Roman", "Liberation Sans" },
            "Liberation Sans", "Liberation Sans" },
        FontCase { "TimesBeforeCourier", { "Courier New", "Times New Roman" }, "Times New Roman",
            "Times New Roman" },
        FontCase { "Courier", { "DejaVu Sans", "Courier New" }, "Courier New", "Courier New" },
        FontCase {
            "FirstOfTheList", { "DejaVu Sans", "Noto Serif" }, "DejaVu Sans", "DejaVu Sans" },
        FontCase { "NameMatchIgnoresCase", { "arial", "SYMBOL" }, "arial", "SYMBOL" },
        FontCase { "NoFontsAtAll", {}, "", "" }),
    [](const testing::TestParamInfo<FontCase>& info) { return std::string(info.param.Name); });

// Each Edit, Calculate and Print command opens its own window; the window is closed unchanged.
TEST_F(MainWindowTest, CommandsOpenTheirWindows)
{
    const std::pair<const char*, const char*> commands[]
        = { { "mnuEditProperties", "frmProperties" }, { "mnuEditLoads", "frmLoads" },
              { "mnuEditAnchors", "frmAnchor" }, { "mnuCalculateConcrete", "frmRein" },
              { "mnuCalculateCalculator", "frmCalculator" }, { "mnuCalculateStudy", "frmStudy" },
              { "mnuFilePrint", "frmPrint" } };
    for (const auto& [action, windowName] : commands) {
        QString opened;
        QTimer::singleShot(0, [&opened] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                opened = dialog->objectName();
                dialog->reject();
            }
        });
        Action(action)->trigger();
        EXPECT_EQ(opened, QString::fromLatin1(windowName)) << action;
    }
    EXPECT_FALSE(Modified());
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
    int asked = 0;
    SetFileDialogFunction([&](QWidget*, const FileDialogRequest& request) {
        ++asked;
        EXPECT_TRUE(request.Save);
        return pdf;
    });
    std::vector<QString> questions;
    SetMessageFunction([&](QWidget*, QMessageBox::Icon, const QString&, const QString& text,
                           QMessageBox::StandardButtons) {
        questions.push_back(text);
        return QMessageBox::No;
    });
    auto printFromCalculator = [this] {
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* print = dialog->findChild<QPushButton*>(QStringLiteral("Command2"));
            ASSERT_NE(print, nullptr);
            QTest::mouseClick(print, Qt::LeftButton);
            dialog->reject();
        });
        Action("mnuCalculateCalculator")->trigger();
    };
    printFromCalculator();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(questions.empty()); // nothing was in the way
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF-"));
    file.close();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("set-up.pdf"))));

    // Printing again to the same file: the answer "No" leaves the first page as it was.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("kept");
    file.close();
    printFromCalculator();
    printer.setOutputFileName(QString());
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("already exists")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("kept"));
}

} // namespace
} // namespace pendrake::ui
