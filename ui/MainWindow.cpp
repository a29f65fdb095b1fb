// The main window and its commands: files, views, units, the stability run, the prompt before
// a modified project is given up, and the settings saved at shut-down.
#include "ui/MainWindow.h"

#include "io/Paths.h"
#include "io/ProjectFile.h"
#include "model/DimensionEdit.h"
#include "model/NumberFormat.h"
#include "model/Units.h"
#include "report/QtViewPainter.h"
#include "ui/OptimizeDialog.h"
#include "ui/ParametricStudy.h"
#include "ui/Platform.h"
#include "ui/RecordStep.h"
#include "ui/SheetWindow.h"
#include "ui/StabilityWindow.h"
#include "ui/ValidatedBox.h"
#include "ui/frmAnchor.h"
#include "ui/frmCalculator.h"
#include "ui/frmLoads.h"
#include "ui/frmPrinting.h"
#include "ui/frmProperties.h"
#include "ui/frmRein.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include <exception>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace pendrake::ui {

namespace {

const QString AppTitle = QStringLiteral("Pendrake");
const QString Unnamed = QStringLiteral("[Unnamed]");
const QString NotSavedText = QStringLiteral(" is not saved.  Do you want to save it now?");
// Qt's own filter syntax for "Input files (*.pdi)|*.pdi|All files (*.*)|*.*".
const QString FileFilter = QStringLiteral("Input files (*.pdi);;All files (*.*)");

const std::array<const char*, ViewCount> ViewCaption = { "Dimensions", "Dead", "Live", "Soil",
    "Water", "Structural", "Impact", "Seismic", "Reactions" };
const std::array<const char*, ViewCount> ViewMenuCaption
    = { "Di&mensions", "&Dead loads", "&Live loads", "&Soil pressure", "&Water pressure",
          "S&tructural loads", "&Impact loads", "S&eismic loads", "&Reactions" };
const std::array<const char*, 3> UnitMenuCaption = { "&Metric", "&SI", "&British" };
const std::array<const char*, 5> CommandCaption
    // Alt+C belongs to the Calculate menu: the Concrete button answers to Alt+N.
    = { "&Anchors", "&Properties", "&Loads", "&Stability", "Co&ncrete" };
constexpr int StabilityButton = 3; // Command4

// Layout of the window in twips (1/1440 inch).
constexpr int MinimumWidthTwips = 6720;
constexpr int MinimumHeightTwips = 5940;
constexpr int EdgeMargin = 240;
constexpr int RightColumnTwips = 1620;
constexpr int TitlePanelHeight = 450;
constexpr int TitleInset = 90;
constexpr int TextBoxGap = 60;
constexpr int PanelGap = 15;
constexpr int BottomMargin = 210;
constexpr int ButtonGap = 135;
constexpr int ButtonHeight = 360;
constexpr int ButtonSpacing = 30;
constexpr int ButtonBottomGap = 120;
constexpr int RightInset = 120;
constexpr int RowHeight = 240;
constexpr int ComboHeight = 345;
constexpr int ComboGap = 120;
constexpr int PanelFrameTwips = 30;

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}
QString Q(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// How long a refused entry's rule stays in the status bar, ms.
constexpr int RefusalShownMs = 10000;
// Dimension values in the names of their steps, as the drawing shows them.
const char* const DimensionFormat = "#0.#0";

QString VersionTitle()
{
    return AppTitle + QLatin1Char(' ') + Q(VersionText);
}

QRect TwipsRect(int left, int top, int width, int height)
{
    return { Px(left), Px(top), std::max(0, Px(width)), std::max(0, Px(height)) };
}

} // namespace

// ---------------------------------------------------------------------------------------------

InstanceLock::InstanceLock(const QString& directory)
{
    QString dir = directory;
    QString name = QStringLiteral("io.pendrake.Pendrake");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
        // The temporary directory is shared by every user of the machine; each has his own lock.
        dir = QDir::tempPath();
#ifdef Q_OS_UNIX
        name += QLatin1Char('-') + QString::number(::getuid());
#endif
    }
    fileName_ = QDir(dir).filePath(name + QStringLiteral(".lock"));
    lock_ = std::make_unique<QLockFile>(fileName_);
    // Held for the whole session, however long: only a lock whose process has gone is stale.
    lock_->setStaleLockTime(0);
}

bool InstanceLock::Acquire()
{
    if (lock_->isLocked() || lock_->tryLock(0))
        return true;
    // Only a lock held by a live instance refuses the start; a folder where no lock can be
    // written (read-only, gone) must not keep the engineer out of his program.
    return lock_->error() != QLockFile::LockFailedError;
}

QString InstanceLock::FileName() const
{
    return fileName_;
}

// ---------------------------------------------------------------------------------------------

namespace {

std::filesystem::path AutosaveFolder(const QString& folder)
{
    const QString dir = folder.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        : folder;
    return std::filesystem::path(dir.toStdString());
}

// How often the autosave schedule is looked at, and how long a move or resize must rest before
// the placement is written.
constexpr int AutosaveTickMs = 1000;
constexpr int PlacementSettleMs = 500;

} // namespace

MainWindow::MainWindow(const StartupState& startup, QWidget* parent, const QString& autosaveFolder)
    : QMainWindow(parent)
    , document_(MakeNewProject(startup.Fonts.TextFont))
    , autosave_(AutosaveFolder(autosaveFolder))
    , fonts_(startup.Fonts)
    , recent_(startup.Recent)
    , lastDir_(startup.LastDir)
{
    setObjectName(QStringLiteral("frmMain"));
    SetTitle(AppTitle);
    // Every section is offered checked the first time; the choices made are kept after.
    for (int k = 0; k < report::PrintOptionCount; ++k)
        printOptions_.Option(k) = 1;
    filling_ = true;
    BuildControls();
    BuildMenus();
    FillControls();
    filling_ = false;
    // The calculator prints over the record it was opened from, which is the document's.
    SetCalculatorPrintHandler([this](QWidget* window, const Project& /*project*/,
                                  const CalculatorInput& input, const CalculatorResult& result) {
        PrintCalculatorOnPrinter(window, document_, fonts_, input, result);
    });
    SetRefusalReporter(
        [this](const QString& rule) { statusBar()->showMessage(rule, RefusalShownMs); });
    connect(&undo_, &QUndoStack::cleanChanged, this, [this](bool clean) {
        setWindowModified(!clean);
        // Undone back to the state on disk: nothing is left to recover.
        if (clean)
            DropAutosave(document_.FileName());
    });
    // Every step, undo and redo makes a copy due (at most one each 10 s).
    connect(&undo_, &QUndoStack::indexChanged, this,
        [this](int) { autosaveSchedule_.StepDone(!undo_.isClean()); });
    autosaveTimer_.setInterval(AutosaveTickMs);
    connect(&autosaveTimer_, &QTimer::timeout, this, &MainWindow::AutosaveIfDue);
    autosaveTimer_.start();
    placementTimer_.setSingleShot(true);
    placementTimer_.setInterval(PlacementSettleMs);
    connect(&placementTimer_, &QTimer::timeout, this, [this] { SaveWindowPlacement(Placement()); });
    listener_ = document_.Subscribe([this](ProjectDocument::Change c) { OnDocumentChanged(c); });
    // No view option is chosen yet; until the engineer picks one the drawing shows the section
    // with its dimensions, the view an engineer checks first.
    view_->Redraw();
    UpdateVerdict();
}

MainWindow::~MainWindow()
{
    document_.Unsubscribe(listener_);
    SetRefusalReporter({});
    SetCalculatorPrintHandler({});
    // The steps refer to the document; the drawing too. Both go before the members do, and
    // quietly: a window that goes without closing (a crash, a kill) keeps its autosave copy.
    QObject::disconnect(&undo_, nullptr, this, nullptr);
    autosaveTimer_.stop();
    undo_.clear();
    delete view_;
    view_ = nullptr;
}

void MainWindow::BuildControls()
{
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("frmMainClient"));
    // The smallest window that still shows every control of the right-hand column apart.
    central_->setMinimumSize(Px(MinimumWidthTwips), Px(MinimumHeightTwips));
    central_->installEventFilter(this);
    setCentralWidget(central_);

    panel3D2_ = new QFrame(central_);
    panel3D2_->setObjectName(QStringLiteral("Panel3D2"));
    panel3D2_->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    label4_ = new QLabel(VersionTitle(), panel3D2_);
    label4_->setObjectName(QStringLiteral("Label4"));
    text1_ = new QLineEdit(panel3D2_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setToolTip(QStringLiteral("The project's title, printed at the head of every page"));
    connect(text1_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (filling_)
            return;
        Project after = document_.Record();
        after.ProjectTitle = text.toStdString();
        Commit(std::move(after), QStringLiteral("Project title"), TitleStepId);
    });

    panel3D1_ = new QFrame(central_);
    panel3D1_->setObjectName(QStringLiteral("Panel3D1"));
    panel3D1_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    view_ = new WallView(document_, panel3D1_);
    view_->setObjectName(QStringLiteral("Picture1"));
    connect(view_, &WallView::ViewChanged, this, &MainWindow::OnViewShown);
    connect(view_, &WallView::DimensionAccepted, this, &MainWindow::OnDimensionAccepted);

    label1_ = new QLabel(QStringLiteral("Unit:"), central_);
    label1_->setObjectName(QStringLiteral("Label1"));
    combo1_ = new QComboBox(central_);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    for (std::string_view name : UnitSystemName)
        combo1_->addItem(Q(name));
    connect(combo1_, &QComboBox::currentIndexChanged, this, &MainWindow::OnUnitChanged);

    label2_ = new QLabel(QStringLiteral("View:"), central_);
    label2_->setObjectName(QStringLiteral("Label2"));
    label3_ = new QLabel(QStringLiteral("Loads"), central_);
    label3_->setObjectName(QStringLiteral("Label3"));
    for (int k = 0; k < ViewCount; ++k) {
        auto* option = new QRadioButton(QString::fromLatin1(ViewCaption[k]), central_);
        option->setObjectName(QStringLiteral("optView_") + QString::number(k));
        connect(option, &QRadioButton::clicked, this, [this, k] { SelectView(k); });
        optView_[k] = option;
    }

    for (int i = 0; i < int(command_.size()); ++i) {
        auto* button = new QPushButton(QString::fromLatin1(CommandCaption[i]), central_);
        button->setObjectName(QStringLiteral("Command") + QString::number(i + 1));
        command_[i] = button;
    }
    connect(command_[0], &QPushButton::clicked, this, &MainWindow::EditAnchors);
    connect(command_[1], &QPushButton::clicked, this, &MainWindow::EditProperties);
    connect(command_[2], &QPushButton::clicked, this, &MainWindow::EditLoads);
    connect(
        command_[StabilityButton], &QPushButton::clicked, this, &MainWindow::CalculateStability);
    connect(command_[4], &QPushButton::clicked, this, &MainWindow::CalculateConcrete);

    // The verdict follows every change; a click opens the stability window behind it.
    verdict_ = new QPushButton(statusBar());
    verdict_->setObjectName(QStringLiteral("cmdVerdict"));
    verdict_->setFlat(true);
    verdict_->setFocusPolicy(Qt::NoFocus);
    verdict_->setToolTip(QStringLiteral("Service-load stability and the design's largest "
                                        "utilisation; click for the stability results"));
    statusBar()->addPermanentWidget(verdict_);
    connect(verdict_, &QPushButton::clicked, this, &MainWindow::CalculateStability);
}

void MainWindow::BuildMenus()
{
    const auto add = [](QMenu* menu, const char* caption, const char* name) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    const auto addMenu = [this](const char* caption, const char* name) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(caption));
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };

    // The keys every desktop program answers to; spelt out so that they are the same on every
    // desktop.
    const auto keyed = [](QAction* action, const QKeySequence& key) {
        action->setShortcut(key);
        return action;
    };
    QMenu* file = addMenu("&File", "mnuFile");
    connect(keyed(add(file, "&New", "mnuFileNew"), QKeySequence(Qt::CTRL | Qt::Key_N)),
        &QAction::triggered, this, &MainWindow::FileNew);
    connect(keyed(add(file, "&Open", "mnuFileOpen"), QKeySequence(Qt::CTRL | Qt::Key_O)),
        &QAction::triggered, this, &MainWindow::FileOpen);
    connect(keyed(add(file, "&Save", "mnuFileSave"), QKeySequence(Qt::CTRL | Qt::Key_S)),
        &QAction::triggered, this, &MainWindow::FileSave);
    connect(keyed(add(file, "Sa&ve as", "mnuFileSaveAs"),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
        &QAction::triggered, this, &MainWindow::FileSaveAs);
    file->addSeparator();
    connect(keyed(add(file, "&Print", "mnuFilePrint"), QKeySequence(Qt::CTRL | Qt::Key_P)),
        &QAction::triggered, this, &MainWindow::FilePrint);
    connect(add(file, "Print Pre&view...", "mnuFilePrintPreview"), &QAction::triggered, this,
        &MainWindow::FilePrintPreview);
    connect(add(file, "Export P&DF...", "mnuFileExportPdf"), &QAction::triggered, this,
        &MainWindow::FileExportPdf);
    connect(add(file, "Export Dra&wing...", "mnuFileExportDrawing"), &QAction::triggered, this,
        &MainWindow::FileExportDrawing);
    connect(add(file, "P&rinter setup", "mnuFilePrinterSetup"), &QAction::triggered, this,
        &MainWindow::FilePrinterSetup);
    file->addSeparator();
    connect(keyed(add(file, "E&xit", "mnuFileExit"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
        &QAction::triggered, this, &QWidget::close);
    mnuFileListSeparator_ = file->addSeparator();
    mnuFileListSeparator_->setObjectName(QStringLiteral("mnuFileListSeparator"));
    for (int i = 1; i <= RecentFileSlots; ++i) {
        QAction* item = file->addAction(QString());
        item->setObjectName(QStringLiteral("mnuFileList_") + QString::number(i));
        connect(item, &QAction::triggered, this, [this, i] { OpenRecent(i); });
        mnuFileList_[i] = item;
    }

    QMenu* edit = addMenu("&Edit", "mnuEdit");
    // The stack names the step: "Undo Top width 0.50 → 0.80 m".
    QAction* undo = undo_.createUndoAction(this, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("mnuEditUndo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = undo_.createRedoAction(this, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("mnuEditRedo"));
    redo->setShortcut(QKeySequence::Redo);
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    connect(keyed(add(edit, "&Copy Drawing", "mnuEditCopyDrawing"), QKeySequence::Copy),
        &QAction::triggered, this, &MainWindow::EditCopyDrawing);
    edit->addSeparator();
    connect(add(edit, "&Properties", "mnuEditProperties"), &QAction::triggered, this,
        &MainWindow::EditProperties);
    connect(add(edit, "&Loads", "mnuEditLoads"), &QAction::triggered, this, &MainWindow::EditLoads);
    connect(add(edit, "&Anchors", "mnuEditAnchors"), &QAction::triggered, this,
        &MainWindow::EditAnchors);

    QMenu* view = addMenu("&View", "mnuView");
    for (int k = 0; k < ViewCount; ++k) {
        QAction* item = view->addAction(QString::fromLatin1(ViewMenuCaption[k]));
        item->setObjectName(QStringLiteral("mnuView_") + QString::number(k));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, k] { SelectView(k); });
        mnuView_[k] = item;
    }

    QMenu* calculate = addMenu("&Calculate", "mnuCalculate");
    connect(add(calculate, "&Stability", "mnuCalculateStability"), &QAction::triggered, this,
        &MainWindow::CalculateStability);
    connect(add(calculate, "&Concrete design", "mnuCalculateConcrete"), &QAction::triggered, this,
        &MainWindow::CalculateConcrete);
    connect(add(calculate, "Ca&lculator", "mnuCalculateCalculator"), &QAction::triggered, this,
        &MainWindow::CalculateCalculator);
    connect(add(calculate, "Calculation S&heet", "mnuCalculateSheet"), &QAction::triggered, this,
        [this] {
            Guard([this] {
                ShowCalculationSheet(this, document_);
                return true;
            });
        });
    connect(add(calculate, "&Optimize Dimensions...", "mnuCalculateOptimize"), &QAction::triggered,
        this, [this] {
            Guard([this] {
                ShowOptimizeDialog(this, document_,
                    [this](Project after, const QString& step) { Commit(std::move(after), step); });
                return true;
            });
        });
    connect(add(calculate, "&Parametric Study...", "mnuCalculateStudy"), &QAction::triggered, this,
        [this] {
            Guard([this] {
                ShowParametricStudy(this, document_);
                return true;
            });
        });

    QMenu* option = addMenu("&Option", "mnuOption");
    QMenu* unit = option->addMenu(QStringLiteral("&Unit"));
    unit->setObjectName(QStringLiteral("mnuOptionUnit"));
    unit->menuAction()->setObjectName(QStringLiteral("mnuOptionUnit"));
    for (int u = 0; u < 3; ++u) {
        QAction* item = unit->addAction(QString::fromLatin1(UnitMenuCaption[u]));
        item->setObjectName(QStringLiteral("mnuUnit_") + QString::number(u));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, u] { SelectUnit(u); });
        mnuUnit_[u] = item;
    }

    QMenu* help = addMenu("&Help", "mnuHelp");
    connect(keyed(add(help, "&User Guide", "mnuHelpContents"), QKeySequence(Qt::Key_F1)),
        &QAction::triggered, this, [this] {
            Guard([this] {
                ShowUserGuide(this);
                return true;
            });
        });
    help->addSeparator();
    connect(add(help, "&About", "mnuHelpAbout"), &QAction::triggered, this, &MainWindow::HelpAbout);
}

void MainWindow::FillControls()
{
    const bool wasFilling = filling_;
    filling_ = true;
    RebuildRecentMenu();
    SetUnitChecks();
    const Project& p = document_.Record();
    combo1_->setCurrentIndex(std::clamp<int>(p.UnitSystem, Metric, British));
    // Typing in the title changes the record: the box keeps its caret when it already shows it.
    if (text1_->text() != Q(p.ProjectTitle))
        text1_->setText(Q(p.ProjectTitle));
    label4_->setText(VersionTitle());
    if (selectedView_ >= 0)
        SetViewChecks(selectedView_);
    filling_ = wasFilling;
}

void MainWindow::RebuildRecentMenu()
{
    mnuFileListSeparator_->setVisible(recent_.Count > 0);
    for (int i = 1; i <= RecentFileSlots; ++i) {
        QAction* item = mnuFileList_[i];
        if (i <= recent_.Count) {
            // A "&" in a folder name is a character of the path, not an access key.
            QString path = Q(recent_.File[i]);
            path.replace(QLatin1Char('&'), QStringLiteral("&&"));
            item->setText(QLatin1Char('&') + QString::number(i) + QLatin1Char(' ') + path);
            item->setVisible(true);
        } else {
            item->setText(QString());
            item->setVisible(false);
        }
    }
}

void MainWindow::SetUnitChecks()
{
    for (int u = 0; u < 3; ++u)
        mnuUnit_[u]->setChecked(u == document_.Record().UnitSystem);
}

void MainWindow::SetViewChecks(int view)
{
    for (int k = 0; k < ViewCount; ++k)
        mnuView_[k]->setChecked(k == view);
    if (view >= 0 && view < ViewCount)
        optView_[view]->setChecked(true);
}

int MainWindow::SelectedView() const
{
    return selectedView_;
}

// ---------------------------------------------------------------------------------------------
// Layout

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == central_ && event->type() == QEvent::Resize)
        LayoutControls();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::LayoutControls()
{
    const int width = int(Twips(central_->width()));
    const int height = int(Twips(central_->height()));

    const int panelWidth = width - EdgeMargin - RightColumnTwips;
    panel3D2_->setGeometry(TwipsRect(EdgeMargin, EdgeMargin, panelWidth, TitlePanelHeight));
    const int labelWidth = int(Twips(label4_->sizeHint().width()));
    const int boxHeight = int(Twips(text1_->sizeHint().height()));
    const int boxTop = std::max(0, (TitlePanelHeight - boxHeight) / 2);
    label4_->setGeometry(TwipsRect(TitleInset, 0, labelWidth, TitlePanelHeight));
    const int boxLeft = TitleInset + labelWidth + TitleInset;
    text1_->setGeometry(TwipsRect(boxLeft, boxTop, panelWidth - boxLeft - TextBoxGap, boxHeight));

    const int drawingTop = EdgeMargin + TitlePanelHeight + PanelGap;
    const int drawingHeight = height - drawingTop - BottomMargin;
    panel3D1_->setGeometry(TwipsRect(EdgeMargin, drawingTop, panelWidth, drawingHeight));
    const int frame = Px(PanelFrameTwips);
    view_->setGeometry(frame, frame, std::max(0, panel3D1_->width() - 2 * frame),
        std::max(0, panel3D1_->height() - 2 * frame));

    const int columnLeft = EdgeMargin + panelWidth + ButtonGap;
    const int columnWidth = width - columnLeft - RightInset;
    int y = EdgeMargin;
    label1_->setGeometry(TwipsRect(columnLeft, y, columnWidth, RowHeight));
    y += RowHeight;
    combo1_->setGeometry(TwipsRect(columnLeft, y, columnWidth, ComboHeight));
    y += ComboHeight + ComboGap;
    label2_->setGeometry(TwipsRect(columnLeft, y, columnWidth, RowHeight));
    y += RowHeight;
    for (int k = 0; k < ViewCount; ++k) {
        optView_[k]->setGeometry(TwipsRect(columnLeft, y, columnWidth, RowHeight));
        y += RowHeight;
        if (k == 0) {
            label3_->setGeometry(TwipsRect(columnLeft, y, columnWidth, RowHeight));
            y += RowHeight;
        }
    }

    const int buttons = int(command_.size());
    int buttonTop = drawingTop + drawingHeight - ButtonBottomGap - buttons * ButtonHeight
        - (buttons - 1) * ButtonSpacing;
    for (QPushButton* button : command_) {
        button->setGeometry(TwipsRect(columnLeft, buttonTop, columnWidth, ButtonHeight));
        buttonTop += ButtonHeight + ButtonSpacing;
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    RememberNormalGeometry();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    RememberNormalGeometry();
}

void MainWindow::RememberNormalGeometry()
{
    if (isVisible())
        placementTimer_.start();
    const Qt::WindowStates state = windowState();
    if (state.testAnyFlags(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    normalPos_ = pos();
    normalSize_ = size();
}

void MainWindow::ShowWithPlacement(const WindowPlacement& placement)
{
    QRect wanted(Px(placement.Left), Px(placement.Top), Px(placement.Width), Px(placement.Height));
    // A placement on a screen that is no longer attached would open the window out of sight.
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(wanted);
    if (!onScreen) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            wanted = screen->availableGeometry();
    }
    // The window, its frame included, fits the screen's free area (no task bar over the
    // buttons): a placement larger than the screen is shrunk and moved into it.
    if (const QScreen* screen = QGuiApplication::screenAt(wanted.center())
            ? QGuiApplication::screenAt(wanted.center())
            : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        // Before the first show the window manager has not told the frame: allow for a title
        // bar and thin borders.
        const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
        const QMargins frame = frameGeometry().isValid() && frameGeometry() != geometry()
            ? QMargins(geometry().left() - frameGeometry().left(),
                geometry().top() - frameGeometry().top(),
                frameGeometry().right() - geometry().right(),
                frameGeometry().bottom() - geometry().bottom())
            : QMargins(
                border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border, border);
        const QRect free = area.marginsRemoved(frame);
        wanted.setWidth(std::min(wanted.width(), free.width()));
        wanted.setHeight(std::min(wanted.height(), free.height()));
        wanted.moveLeft(std::clamp(wanted.left(), free.left(), free.right() - wanted.width() + 1));
        wanted.moveTop(std::clamp(wanted.top(), free.top(), free.bottom() - wanted.height() + 1));
    }
    resize(wanted.size().expandedTo(minimumSizeHint()));
    move(wanted.topLeft());
    normalPos_ = pos();
    normalSize_ = size();
    if (placement.State == WindowStateMaximised)
        showMaximized();
    else
        show();
}

WindowPlacement MainWindow::Placement() const
{
    WindowPlacement p;
    // A window closed while minimised comes back in its normal state.
    const Qt::WindowStates state = windowState();
    p.State = !state.testFlag(Qt::WindowMinimized) && state.testFlag(Qt::WindowMaximized)
        ? WindowStateMaximised
        : WindowStateNormal;
    p.Left = int(Twips(normalPos_.x()));
    p.Top = int(Twips(normalPos_.y()));
    p.Width = int(Twips(normalSize_.width()));
    p.Height = int(Twips(normalSize_.height()));
    return p;
}

// ---------------------------------------------------------------------------------------------
// Commands

bool MainWindow::Guard(const std::function<bool()>& command)
{
    try {
        return command();
    } catch (const std::exception& e) {
        ShowWarning(this, QString::fromUtf8(e.what()));
    } catch (...) {
        ShowWarning(
            this, QStringLiteral("The command failed for a reason the program cannot name."));
    }
    return false;
}

bool MainWindow::ConfirmDiscard()
{
    if (undo_.isClean())
        return true;
    const QString name = document_.FileName().empty() ? Unnamed : Q(document_.FileName());
    const auto answer = ShowMessage(this, QMessageBox::Warning, AppTitle, name + NotSavedText,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::No) {
        DropAutosave(document_.FileName());
        return true;
    }
    if (answer != QMessageBox::Yes)
        return false;
    // Yes: only a save that completed lets the command go on.
    return FileSave();
}

void MainWindow::DropAutosave(const std::string& fileName)
{
    autosave_.Remove(fileName);
    autosaveSchedule_.SetModified(false);
}

void MainWindow::AutosaveIfDue()
{
    if (undo_.isClean() || !autosaveSchedule_.Due())
        return;
    const FileStatus status = autosave_.Write(document_.Record(), document_.FileName());
    autosaveSchedule_.CopyAttempted();
    // A folder that cannot be written is told once a session; the work itself is unharmed.
    if (!status.Ok && !autosaveFailureShown_) {
        autosaveFailureShown_ = true;
        statusBar()->showMessage(
            QStringLiteral("No autosave copy could be written: ") + Q(status.Message));
    }
}

bool MainWindow::OfferRecovery()
{
    return Guard([this] {
        for (const AutosaveCopy& copy : autosave_.FindCopies()) {
            const auto answer = ShowMessage(this, QMessageBox::Question, AppTitle,
                Q(RecoveryQuestion(copy)), QMessageBox::Yes | QMessageBox::No);
            if (answer != QMessageBox::Yes) {
                autosave_.Remove(copy.OriginalPath);
                continue;
            }
            Project recovered = MakeNewProject(fonts_.TextFont);
            const FileStatus status = AutosaveStore::Read(copy, recovered);
            if (!status.Ok) {
                ShowWarning(this, Q(status.Message));
                continue;
            }
            Replace(std::move(recovered), copy.OriginalPath);
            SetTitle(copy.OriginalPath.empty()
                    ? VersionTitle() + QStringLiteral(" -") + Unnamed
                    : VersionTitle() + QStringLiteral(" - ") + Q(copy.OriginalPath));
            // The recovered state is on disk only in the copy, which stays until it is saved.
            undo_.resetClean();
            autosaveSchedule_.SetModified(true);
            return true;
        }
        return false;
    });
}

void MainWindow::SetTitle(const QString& title)
{
    setWindowTitle(title + QStringLiteral("[*]"));
}

void MainWindow::Replace(Project record, std::string fileName)
{
    // The history belongs to the project given up; the new one starts saved.
    undo_.clear();
    undo_.setClean();
    autosaveSchedule_.SetModified(false);
    document_.SetFileName(std::move(fileName));
    telling_ = true;
    document_.SetRecord(std::move(record), ProjectDocument::Proposals::Apply);
    telling_ = false;
    ShowMessages();
}

bool MainWindow::FileNew()
{
    return Guard([this] {
        if (!ConfirmDiscard())
            return false;
        Project fresh = document_.Record();
        NewProject(fresh, fonts_.TextFont);
        Replace(std::move(fresh), {});
        SetTitle(VersionTitle() + QStringLiteral(" -") + Unnamed);
        return true;
    });
}

bool MainWindow::FileOpen()
{
    return Guard([this] {
        if (!ConfirmDiscard())
            return false;
        FileDialogRequest request;
        request.Save = false;
        request.Title = QStringLiteral("Pendrake: Open file");
        request.Directory = fileDialogDir_;
        request.Filter = FileFilter;
        const QString path = RunFileDialog(this, request);
        if (path.isEmpty())
            return false;
        fileDialogDir_ = Q(GetDirectory(path.toStdString()));
        return OpenPath(path);
    });
}

bool MainWindow::OpenRecent(int slot)
{
    return Guard([this, slot] {
        if (slot < 1 || slot > recent_.Count)
            return false;
        // Taken before the prompt: saving an unnamed project there puts a new file on top of
        // the list and moves the entry the engineer chose.
        const QString path = Q(recent_.File[slot]);
        if (!ConfirmDiscard())
            return false;
        return OpenPath(path);
    });
}

bool MainWindow::OpenPath(const QString& path)
{
    return Guard([this, &path] {
        const std::string fileName = path.toStdString();
        // Read into a record of its own: a file that cannot be read leaves the project shown.
        Project opened = MakeNewProject(fonts_.TextFont);
        const FileStatus status = ReadProjectFile(fileName, opened);
        if (!status.Ok) {
            ShowWarning(this, Q(status.Message));
            return false;
        }
        fileDialogDir_ = Q(GetDirectory(fileName));
        AddRecentFile(recent_, fileName);
        SaveRecentFiles(recent_);
        RebuildRecentMenu();
        SetTitle(VersionTitle() + QStringLiteral(" - ") + path);
        Replace(std::move(opened), fileName);
        return true;
    });
}

bool MainWindow::WriteTo(const std::string& path)
{
    const FileStatus status = WriteProjectFile(path, document_.Record());
    if (!status.Ok)
        ShowWarning(this, Q(status.Message));
    return status.Ok;
}

bool MainWindow::FileSave()
{
    return Guard([this] {
        if (document_.FileName().empty())
            return FileSaveAs();
        if (!WriteTo(document_.FileName()))
            return false;
        undo_.setClean();
        DropAutosave(document_.FileName());
        return true;
    });
}

bool MainWindow::FileSaveAs()
{
    return Guard([this] {
        FileDialogRequest request;
        request.Save = true;
        request.Title = QStringLiteral("Pendrake: Save as");
        request.Directory = document_.FileName().empty() ? fileDialogDir_ : Q(document_.FileName());
        request.Filter = FileFilter;
        request.DefaultSuffix = Q(ProjectFileExtension);
        const QString path = RunFileDialog(this, request);
        if (path.isEmpty())
            return false;
        const std::string fileName = path.toStdString();
        fileDialogDir_ = Q(GetDirectory(fileName));
        // The project keeps its name until the file under the new one is really written.
        if (!WriteTo(fileName))
            return false;
        const std::string before = document_.FileName();
        document_.SetFileName(fileName);
        undo_.setClean();
        DropAutosave(before);
        AddRecentFile(recent_, fileName);
        SaveRecentFiles(recent_);
        RebuildRecentMenu();
        SetTitle(QStringLiteral("Pendrake: ") + path);
        return true;
    });
}

void MainWindow::FilePrinterSetup()
{
    Guard([this] {
        RunPrinterDialog(this);
        return true;
    });
}

void MainWindow::CalculateStability()
{
    Guard([this] {
        // The document ran the service loads at the last change; its messages were told then.
        StabilityWindow window(
            document_.Record(), document_.Stability(), Q(fonts_.GreekFont), this);
        window.exec();
        return true;
    });
}

void MainWindow::EditWith(
    std::optional<Project> (*dialog)(QWidget*, const Project&), const QString& step)
{
    Guard([this, dialog, &step] {
        if (std::optional<Project> accepted = dialog(this, document_.Record()))
            Commit(std::move(*accepted), step);
        return true;
    });
}

void MainWindow::EditProperties()
{
    EditWith(&ui::EditProperties, QStringLiteral("Properties"));
}
void MainWindow::EditLoads()
{
    EditWith(&ui::EditLoads, QStringLiteral("Loads"));
}
void MainWindow::EditAnchors()
{
    EditWith(&ui::EditAnchors, QStringLiteral("Anchors"));
}

void MainWindow::CalculateConcrete()
{
    Guard([this] {
        ShowConcreteDesign(this, document_,
            [this](Project after, const QString& step) { Commit(std::move(after), step); });
        return true;
    });
}

void MainWindow::CalculateCalculator()
{
    Guard([this] {
        ShowCalculator(this, document_.Record());
        return true;
    });
}

void MainWindow::FilePrint()
{
    Guard([this] {
        RunPrintCommand(this, document_, printOptions_, fonts_);
        return true;
    });
}

void MainWindow::FilePrintPreview()
{
    Guard([this] {
        RunPrintPreviewCommand(this, document_, printOptions_, fonts_);
        return true;
    });
}

void MainWindow::FileExportPdf()
{
    Guard([this] {
        RunExportPdfCommand(this, document_, printOptions_, fonts_);
        return true;
    });
}

void MainWindow::FileExportDrawing()
{
    Guard([this] {
        FileDialogRequest request;
        request.Save = true;
        request.Title = QStringLiteral("Pendrake: Export Drawing");
        request.Directory = Q(lastDir_);
        request.Filter = QStringLiteral("SVG drawing (*.svg);;PNG image (*.png);;PDF file (*.pdf)");
        request.DefaultSuffix = QStringLiteral("svg");
        request.ConfirmOverwrite = false;
        const QString path = RunFileDialog(this, request);
        if (path.isEmpty() || !ConfirmReplace(this, path))
            return false;
        const ViewDrawing drawing = report::BuildExportDrawing(document_.Record(),
            document_.Stability(), static_cast<ViewKind>(view_->View()), view_->font());
        std::string error;
        if (!report::WriteViewDrawing(drawing, view_->font(), path, error)) {
            ShowWarning(this, Q(error));
            return false;
        }
        return true;
    });
}

void MainWindow::EditCopyDrawing()
{
    Guard([this] {
        const ViewDrawing drawing = report::BuildExportDrawing(document_.Record(),
            document_.Stability(), static_cast<ViewKind>(view_->View()), view_->font());
        QGuiApplication::clipboard()->setImage(report::RenderViewImage(drawing, view_->font()));
        return true;
    });
}

// ---------------------------------------------------------------------------------------------
// The document and its history

void MainWindow::Commit(Project after, const QString& step, int mergeId)
{
    telling_ = true;
    undo_.push(new RecordStep(document_, document_.Record(), std::move(after), step,
        RecordStep::FirstRedo::Run, mergeId));
    // The engine flattened the backfill slope of the record the engineer gave: the flattening
    // is a step of its own, so that Undo brings back the slope as typed.
    if (const std::optional<Project>& typed = document_.RecordBeforeProposal()) {
        const QString flattened = QStringLiteral("Backfill slope flattened to 1 : ")
            + Q(FormatNumber(document_.Record().BackfillSlope, DimensionFormat));
        undo_.push(new RecordStep(
            document_, *typed, document_.Record(), flattened, RecordStep::FirstRedo::AlreadyDone));
    }
    telling_ = false;
    ShowMessages();
}

void MainWindow::ShowMessages()
{
    for (const std::string& message : document_.Messages())
        ShowWarning(this, Q(message));
}

void MainWindow::OnDocumentChanged(ProjectDocument::Change change)
{
    if (change != ProjectDocument::Change::Record)
        return;
    FillControls();
    // Undo and redo go back to states the engineer has seen: the drawing says nothing.
    view_->Redraw(!telling_);
    UpdateVerdict();
}

void MainWindow::OnDimensionAccepted(int index, double value)
{
    Guard([this, index, value] {
        const Project& before = document_.Record();
        Project after = before;
        if (!ApplyDimensionEdit(after, index, value))
            return false;
        const QString name = Q(std::string(DimensionName[size_t(index)]));
        const auto shown = [](double v) { return Q(FormatNumber(v, DimensionFormat)); };
        QString step;
        if (index == BackfillSlopeDimension) {
            step = name + QStringLiteral(" 1 : ") + shown(Dimension(before, index))
                + QStringLiteral(" → 1 : ") + shown(Dimension(after, index));
        } else {
            step = name + QLatin1Char(' ') + shown(Dimension(before, index)) + QStringLiteral(" → ")
                + shown(Dimension(after, index)) + QLatin1Char(' ')
                + Q(DimensionUnit(before, index));
        }
        Commit(std::move(after), step);
        return true;
    });
}

QString MainWindow::VerdictText() const
{
    return verdict_->text();
}

void MainWindow::UpdateVerdict()
{
    const WallVerdict& v = document_.Verdict();
    if (!v.Stable) {
        verdict_->setText(QStringLiteral("Not stable under service loads — overturning ")
            + SafetyText(v.OverturningSafety));
        return;
    }
    QString text = QStringLiteral("Stable — overturning ") + SafetyText(v.OverturningSafety)
        + QStringLiteral(", bearing ") + SafetyText(v.BearingSafetyMin)
        + QStringLiteral(", sliding ") + SafetyText(v.SlidingSafetyMin);
    if (v.AnchorTensionSafety && v.AnchorShearSafety) {
        text += QStringLiteral(", anchor tension ") + SafetyText(*v.AnchorTensionSafety)
            + QStringLiteral(", anchor shear ") + SafetyText(*v.AnchorShearSafety);
    }
    if (!v.DesignStable)
        text += QStringLiteral("; design: a load combination is not stable");
    else if (v.SectionTooSmall)
        text += QStringLiteral("; design: a section is too small");
    else if (v.Utilisation)
        text += QStringLiteral("; utilisation ") + Q(FormatNumber(*v.Utilisation, DimensionFormat));
    verdict_->setText(text);
}

void MainWindow::HelpAbout()
{
    Guard([this] {
        QDialog about(this);
        about.setObjectName(QStringLiteral("frmAbout"));
        about.setWindowTitle(QStringLiteral("About Pendrake"));
        auto* layout = new QVBoxLayout(&about);
        auto* name = new QLabel(AppTitle, &about);
        name->setObjectName(QStringLiteral("lblName"));
        QFont big = name->font();
        big.setBold(true);
        big.setPointSizeF(big.pointSizeF() * 1.5);
        name->setFont(big);
        auto* version = new QLabel(QStringLiteral("Version ") + Q(VersionText)
                + QStringLiteral(" dated ") + Q(VersionDate),
            &about);
        version->setObjectName(QStringLiteral("lblVersion"));
        auto* close = new QPushButton(QStringLiteral("Close"), &about);
        close->setObjectName(QStringLiteral("cmdClose"));
        close->setDefault(true);
        connect(close, &QPushButton::clicked, &about, &QDialog::accept);
        layout->addWidget(name, 0, Qt::AlignHCenter);
        layout->addWidget(version, 0, Qt::AlignHCenter);
        layout->addWidget(close, 0, Qt::AlignHCenter);
        about.exec();
        return true;
    });
}

void MainWindow::SelectView(int view)
{
    Guard([this, view] {
        if (view < 0 || view >= ViewCount)
            return false;
        selectedView_ = view;
        SetViewChecks(view);
        if (!filling_)
            view_->SetView(static_cast<WallViewKind>(view));
        return true;
    });
}

void MainWindow::OnViewShown(WallViewKind kind)
{
    // The drawing may show another view than the one asked for (Reactions of an unstable wall
    // falls back to Dimensions); the options and the menu follow what is shown.
    const int view = static_cast<int>(kind);
    if (selectedView_ < 0 || view == selectedView_)
        return;
    selectedView_ = view;
    SetViewChecks(view);
}

void MainWindow::SelectUnit(int unitSystem)
{
    Guard([this, unitSystem] {
        // The list's change handler does the switch; choosing the current system only sets the
        // check marks again.
        combo1_->setCurrentIndex(unitSystem);
        SetUnitChecks();
        return true;
    });
}

void MainWindow::OnUnitChanged(int index)
{
    Guard([this, index] {
        if (index < Metric || index > British)
            return false;
        SetUnitChecks();
        const Project& before = document_.Record();
        // Filling the list from the record, or choosing the system in use, converts nothing.
        if (filling_ || index == before.UnitSystem)
            return true;
        const QString step = QStringLiteral("Unit system ")
            + Q(UnitSystemName[size_t(std::clamp<int>(before.UnitSystem, Metric, British))])
            + QStringLiteral(" → ") + Q(UnitSystemName[size_t(index)]);
        Commit(SwitchUnitSystem(before, static_cast<int16_t>(index)), step);
        SetUnitChecks();
        return true;
    });
}

// ---------------------------------------------------------------------------------------------
// Shut-down

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!Guard([this] { return ConfirmDiscard(); })) {
        event->ignore();
        return;
    }
    Guard([this] {
        SaveSettings();
        // A clean exit leaves no work to recover.
        DropAutosave(document_.FileName());
        return true;
    });
    event->accept();
}

void MainWindow::SaveSettings()
{
    SaveRecentFiles(recent_);
    SaveLastDir(lastDir_);
    SaveWindowPlacement(Placement());
}

} // namespace pendrake::ui
