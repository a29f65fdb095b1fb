// The main window: project title, unit system, the drawing of the wall with its nine views, the
// command buttons and every menu command, the unsaved-changes prompt and the shut-down.
#pragma once

#include "document/ProjectDocument.h"
#include "io/Autosave.h"
#include "io/Settings.h"
#include "report/PrintJob.h"
#include "ui/FontChoice.h"
#include "ui/WallView.h"

#include <QLockFile>
#include <QMainWindow>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <QUndoStack>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pendrake::ui {

inline constexpr int ViewCount = 9;

// One running program per user: a lock file in the user's runtime directory. A lock left by a
// crashed instance names a process that no longer runs and is taken over.
class InstanceLock {
public:
    // directory: where the lock lives; empty for the user's runtime (else temporary) directory.
    explicit InstanceLock(const QString& directory = QString());
    // False when another running instance holds the lock. Where no lock can be written at all,
    // the program runs without one.
    bool Acquire();
    [[nodiscard]] QString FileName() const;

private:
    std::unique_ptr<QLockFile> lock_;
    QString fileName_;
};

// What start-up hands the window: the fonts it chose and the settings it read.
struct StartupState {
    FontChoice Fonts;
    RecentFiles Recent;
    std::string LastDir;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // autosaveFolder: where the copies of unsaved work go; empty for the user's data folder.
    explicit MainWindow(
        const StartupState& startup, QWidget* parent = nullptr, const QString& autosaveFolder = {});
    ~MainWindow() override;

    [[nodiscard]] const ProjectDocument& Document() const { return document_; }
    [[nodiscard]] QUndoStack& UndoStack() { return undo_; }
    // Makes `after` the project record as one undoable step named `step`: the engine runs on it
    // once, a slope it flattens follows as a step of its own, and the messages of the run are
    // shown once. mergeId joins consecutive steps of one kind (the title's keystrokes).
    void Commit(Project after, const QString& step, int mergeId = -1);
    // The status bar's verdict, as shown.
    [[nodiscard]] QString VerdictText() const;
    [[nodiscard]] const RecentFiles& Recent() const { return recent_; }
    [[nodiscard]] WallView* View() const { return view_; }
    // The view option selected by the engineer, or -1 before the first choice.
    [[nodiscard]] int SelectedView() const;

    // Places the window as the settings say (twips) and shows it, maximised if it was.
    void ShowWithPlacement(const WindowPlacement& placement);
    // The normal (restored) placement and whether the window is maximised, for the settings.
    [[nodiscard]] WindowPlacement Placement() const;

    // The commands. Each reports its own failures in a warning box and returns whether it ran
    // to its end (false when abandoned, cancelled or failed).
    bool FileNew();
    bool FileOpen();
    bool OpenRecent(int slot);
    // Opens path as File Open does after its dialog (also the file named on the command line).
    bool OpenPath(const QString& path);
    bool FileSave();
    bool FileSaveAs();
    void FilePrinterSetup();
    void FilePrint();
    void FilePrintPreview();
    void FileExportPdf();
    // The view shown, as SVG, PNG or PDF; and as an image on the clipboard.
    void FileExportDrawing();
    void EditCopyDrawing();
    void EditProperties();
    void EditLoads();
    void EditAnchors();
    void CalculateStability();
    void CalculateConcrete();
    void CalculateCalculator();
    void HelpAbout();
    void SelectView(int view);
    void SelectUnit(int unitSystem);

    // The unsaved-changes prompt. True when the command may go on.
    bool ConfirmDiscard();

    // At start: offers the newest copy of unsaved work that a crash left behind ("Recover the
    // unsaved changes to wall1.pdi from 14:32?"). Yes takes it in as a modified project; No
    // deletes it. True when a copy was recovered.
    bool OfferRecovery();
    // Writes the autosave copy when one is due (the timer calls it every second).
    void AutosaveIfDue();
    [[nodiscard]] const AutosaveStore& Autosaves() const { return autosave_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void LayoutControls();
    void FillControls();
    void RebuildRecentMenu();
    void SetUnitChecks();
    void SetViewChecks(int view);
    void OnUnitChanged(int index);
    void OnViewShown(WallViewKind kind);
    void RememberNormalGeometry();
    void SaveSettings();
    // Runs a command; a failure's text goes to a warning box and the window carries on.
    bool Guard(const std::function<bool()>& command);
    bool WriteTo(const std::string& path);

    // Runs a dialog that edits the project; an accepted change becomes the step `step`.
    void EditWith(std::optional<Project> (*dialog)(QWidget*, const Project&), const QString& step);
    // A new record from File New or File Open: no step, the history starts again.
    void Replace(Project record, std::string fileName);
    void OnDocumentChanged(ProjectDocument::Change change);
    void OnDimensionAccepted(int index, double value);
    void ShowMessages();
    void UpdateVerdict();
    // The title of the window as the command that set it words it; [*] marks unsaved changes.
    void SetTitle(const QString& title);

    // The copy of the project's unsaved state goes away with it: saved, discarded, closed.
    void DropAutosave(const std::string& fileName);

    ProjectDocument document_;
    QUndoStack undo_;
    AutosaveStore autosave_;
    AutosaveSchedule autosaveSchedule_;
    QTimer autosaveTimer_;
    bool autosaveFailureShown_ = false;
    // Placement is written once a move or resize has settled, not on every pixel.
    QTimer placementTimer_;
    int listener_ = 0;
    // Set while a change of the engineer's own is made: undo and redo redraw quietly.
    bool telling_ = false;
    FontChoice fonts_;
    // The print options dialog keeps its choices for the session.
    report::PrintOptions printOptions_;
    RecentFiles recent_;
    std::string lastDir_;
    // Directory of the last file opened or saved in this run: where the file dialogs start.
    QString fileDialogDir_;
    bool filling_ = false;
    int selectedView_ = -1;
    QPoint normalPos_;
    QSize normalSize_;

    QWidget* central_ = nullptr;
    QFrame* panel3D2_ = nullptr;
    QLabel* label4_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QFrame* panel3D1_ = nullptr;
    WallView* view_ = nullptr;
    QLabel* label1_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label3_ = nullptr;
    std::array<QRadioButton*, ViewCount> optView_ {};
    std::array<QPushButton*, 5> command_ {};
    QPushButton* verdict_ = nullptr;

    QAction* mnuFileListSeparator_ = nullptr;
    std::array<QAction*, RecentFileSlots + 1> mnuFileList_ {};
    std::array<QAction*, ViewCount> mnuView_ {};
    std::array<QAction*, 3> mnuUnit_ {};
};

} // namespace pendrake::ui
