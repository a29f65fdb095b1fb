// The main window and its commands: files, views, units, the stability run, the prompt before
// a modified project is given up, and the settings saved at shut-down.
#include "ui/MainWindow.h"

#include "analysis/Stability.h"
#include "io/Paths.h"
#include "io/ProjectFile.h"
#include "model/Units.h"
#include "ui/Platform.h"
#include "ui/StabilityWindow.h"
#include "ui/frmAnchor.h"
#include "ui/frmCalculator.h"
#include "ui/frmLoads.h"
#include "ui/frmPrinting.h"
#include "ui/frmProperties.h"
#include "ui/frmRein.h"

#include <QAction>
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
    = { "&Anchors", "&Properties", "&Loads", "&Stability", "&Concrete" };
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

MainWindow::MainWindow(const StartupState& startup, QWidget* parent)
    : QMainWindow(parent)
    , project_(MakeNewProject(startup.Fonts.TextFont))
    , fonts_(startup.Fonts)
    , recent_(startup.Recent)
    , lastDir_(startup.LastDir)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(AppTitle);
    filling_ = true;
    BuildControls();
    BuildMenus();
    FillControls();
    filling_ = false;
    SetCalculatorPrintHandler([fonts = fonts_](QWidget* window, const Project& project,
                                  const CalculatorInput& input, const CalculatorResult& result) {
        PrintCalculatorOnPrinter(window, project, fonts, input, result);
    });
    // No view option is chosen yet; until the engineer picks one the drawing shows the section
    // with its dimensions, the view an engineer checks first.
    view_->Redraw();
}

MainWindow::~MainWindow()
{
    // The drawing refers to project_, which goes before the base class deletes the children.
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
    connect(text1_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (filling_)
            return;
        project_.ProjectTitle = text.toStdString();
        project_.Modified = true;
    });

    panel3D1_ = new QFrame(central_);
    panel3D1_->setObjectName(QStringLiteral("Panel3D1"));
    panel3D1_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    view_ = new WallView(project_, panel3D1_);
    view_->setObjectName(QStringLiteral("Picture1"));
    connect(view_, &WallView::ViewChanged, this, &MainWindow::OnViewShown);

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

    QMenu* file = addMenu("&File", "mnuFile");
    connect(add(file, "&New", "mnuFileNew"), &QAction::triggered, this, &MainWindow::FileNew);
    connect(add(file, "&Open", "mnuFileOpen"), &QAction::triggered, this, &MainWindow::FileOpen);
    connect(add(file, "&Save", "mnuFileSave"), &QAction::triggered, this, &MainWindow::FileSave);
    connect(
        add(file, "Sa&ve as", "mnuFileSaveAs"), &QAction::triggered, this, &MainWindow::FileSaveAs);
    file->addSeparator();
    connect(add(file, "&Print", "mnuFilePrint"), &QAction::triggered, this, &MainWindow::FilePrint);
    connect(add(file, "P&rinter setup", "mnuFilePrinterSetup"), &QAction::triggered, this,
        &MainWindow::FilePrinterSetup);
    file->addSeparator();
    connect(add(file, "E&xit", "mnuFileExit"), &QAction::triggered, this, &QWidget::close);
    mnuFileListSeparator_ = file->addSeparator();
    mnuFileListSeparator_->setObjectName(QStringLiteral("mnuFileListSeparator"));
    for (int i = 1; i <= RecentFileSlots; ++i) {
        QAction* item = file->addAction(QString());
        item->setObjectName(QStringLiteral("mnuFileList_") + QString::number(i));
        connect(item, &QAction::triggered, this, [this, i] { OpenRecent(i); });
        mnuFileList_[i] = item;
    }

    QMenu* edit = addMenu("&Edit", "mnuEdit");
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

    QMenu* help = addMenu("Help", "mnuHelp");
    add(help, "&Pendrake help", "mnuHelpContents")->setEnabled(false);
    help->addSeparator();
    connect(add(help, "&About", "mnuHelpAbout"), &QAction::triggered, this, &MainWindow::HelpAbout);
}

void MainWindow::FillControls()
{
    const bool wasFilling = filling_;
    filling_ = true;
    RebuildRecentMenu();
    SetUnitChecks();
    combo1_->setCurrentIndex(std::clamp<int>(project_.UnitSystem, Metric, British));
    text1_->setText(Q(project_.ProjectTitle));
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
        mnuUnit_[u]->setChecked(u == project_.UnitSystem);
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
    if (!project_.Modified)
        return true;
    const QString name = project_.FileName.empty() ? Unnamed : Q(project_.FileName);
    const auto answer = ShowMessage(this, QMessageBox::Warning, AppTitle, name + NotSavedText,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    // Yes: only a save that completed lets the command go on.
    FileSave();
    return project_.SaveOk;
}

bool MainWindow::FileNew()
{
    return Guard([this] {
        if (!ConfirmDiscard())
            return false;
        NewProject(project_, fonts_.TextFont);
        project_.FileName.clear();
        project_.Modified = false;
        setWindowTitle(VersionTitle() + QStringLiteral(" -") + Unnamed);
        view_->Redraw();
        FillControls();
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
        opened.FileName = fileName;
        opened.Modified = false;
        project_ = std::move(opened);
        fileDialogDir_ = Q(GetDirectory(fileName));
        AddRecentFile(recent_, fileName);
        RebuildRecentMenu();
        setWindowTitle(VersionTitle() + QStringLiteral(" - ") + path);
        view_->Redraw();
        FillControls();
        return true;
    });
}

bool MainWindow::WriteTo(const std::string& path)
{
    const FileStatus status = WriteProjectFile(path, project_);
    if (!status.Ok)
        ShowWarning(this, Q(status.Message));
    return status.Ok;
}

bool MainWindow::FileSave()
{
    return Guard([this] {
        project_.SaveOk = false;
        if (project_.FileName.empty())
            return FileSaveAs();
        return WriteTo(project_.FileName);
    });
}

bool MainWindow::FileSaveAs()
{
    return Guard([this] {
        project_.SaveOk = false;
        FileDialogRequest request;
        request.Save = true;
        request.Title = QStringLiteral("Pendrake: Save as");
        request.Directory = project_.FileName.empty() ? fileDialogDir_ : Q(project_.FileName);
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
        project_.FileName = fileName;
        AddRecentFile(recent_, fileName);
        RebuildRecentMenu();
        setWindowTitle(QStringLiteral("Pendrake: ") + path);
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
        for (int k = 1; k <= LoadCaseCount; ++k)
            project_.LoadFactor[k] = 1;
        StabilityResults results;
        ComputeStability(project_, results);
        for (const std::string& message : results.Messages)
            ShowWarning(this, Q(message));
        if (results.Loads.SlopeAdjusted)
            view_->Redraw();
        StabilityWindow window(project_, results, Q(fonts_.GreekFont), this);
        window.exec();
        return true;
    });
}

void MainWindow::EditWith(bool (*dialog)(QWidget*, Project&))
{
    Guard([this, dialog] {
        dialog(this, project_);
        // A cancelled dialog leaves the record as it was; the anchors dialog may still have
        // brought AnchorRows to the rows placed, so the drawing is refreshed either way.
        project_.DialogCancelled = false;
        view_->Redraw();
        return true;
    });
}

void MainWindow::EditProperties() { EditWith(&ui::EditProperties); }
void MainWindow::EditLoads() { EditWith(&ui::EditLoads); }
void MainWindow::EditAnchors() { EditWith(&ui::EditAnchors); }

void MainWindow::CalculateConcrete()
{
    Guard([this] {
        ShowConcreteDesign(this, project_, [this] { view_->Redraw(); });
        return true;
    });
}

void MainWindow::CalculateCalculator()
{
    Guard([this] {
        ShowCalculator(this, project_);
        return true;
    });
}

void MainWindow::FilePrint()
{
    Guard([this] {
        if (RunPrintCommand(this, project_, printOptions_, fonts_))
            view_->Redraw();
        return true;
    });
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
        const bool converted = SelectUnitSystem(project_, static_cast<int16_t>(index), filling_);
        SetUnitChecks();
        if (converted)
            view_->Redraw();
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
