// The calculation sheet window and the user guide window.
#include "ui/SheetWindow.h"

#include "document/ProjectDocument.h"
#include "sheet/CalculationSheet.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

// The guide's resources live in a static library: they are registered on first use.
static void InitGuideResources()
{
    Q_INIT_RESOURCE(guide);
}

namespace pendrake::ui {

namespace {

QPushButton* Button(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

SheetWindow::SheetWindow(const ProjectDocument& document, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSheet"));
    setWindowTitle(QStringLiteral("Calculation Sheet"));
    const CalculationSheet sheet
        = BuildCalculationSheet(document.Record(), document.Stability(), document.Combinations());
    html_ = QString::fromStdString(SheetHtml(sheet, "Calculation sheet"));

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("txtSheet"));
    browser_->setHtml(html_);
    find_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("txtFind"));
    find_->setPlaceholderText(QStringLiteral("Find"));
    auto* findNext = Button(QStringLiteral("&Find next"), "cmdFind", this);
    auto* copy = Button(QStringLiteral("&Copy"), "cmdCopy", this);
    auto* save = Button(QStringLiteral("Save &As..."), "cmdSaveAs", this);
    auto* print = Button(QStringLiteral("&Print..."), "cmdPrint", this);
    auto* close = Button(QStringLiteral("Close"), "cmdClose", this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(find_, 1);
    bar->addWidget(findNext);
    bar->addWidget(copy);
    bar->addWidget(save);
    bar->addWidget(print);
    bar->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_, 1);
    resize(Px(14400), Px(10800));

    const auto findTyped = [this] {
        if (!find_->text().isEmpty() && !Find(find_->text()))
            Beep();
    };
    connect(findNext, &QPushButton::clicked, this, findTyped);
    connect(find_, &QLineEdit::returnPressed, this, findTyped);
    connect(copy, &QPushButton::clicked, this, [this] {
        // The selection when there is one, else the whole sheet.
        if (browser_->textCursor().hasSelection())
            browser_->copy();
        else
            QApplication::clipboard()->setText(browser_->toPlainText());
    });
    connect(save, &QPushButton::clicked, this, &SheetWindow::SaveAs);
    connect(print, &QPushButton::clicked, this, &SheetWindow::Print);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

bool SheetWindow::Find(const QString& text)
{
    if (browser_->find(text))
        return true;
    QTextCursor top = browser_->textCursor();
    top.movePosition(QTextCursor::Start);
    browser_->setTextCursor(top);
    return browser_->find(text);
}

bool SheetWindow::SaveTo(const QString& path)
{
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(QStringLiteral("Calculation sheet"));
        browser_->document()->print(&writer);
        return QFile(path).size() > 0;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(html_.toUtf8());
    return file.commit();
}

void SheetWindow::SaveAs()
{
    FileDialogRequest request;
    request.Save = true;
    request.Title = QStringLiteral("Save Calculation Sheet");
    request.Filter = QStringLiteral("HTML (*.html);;PDF (*.pdf)");
    request.DefaultSuffix = QStringLiteral("html");
    const QString path = RunFileDialog(this, request);
    if (path.isEmpty())
        return;
    if (!SaveTo(path))
        ShowWarning(this, QStringLiteral("The calculation sheet could not be saved to ") + path);
}

void SheetWindow::Print()
{
    if (!RunPrinterDialog(this))
        return;
    PrintDevice device = MakePrintDevice();
    if (!device.Device)
        return;
    browser_->document()->print(device.Device.get());
}

void ShowCalculationSheet(QWidget* parent, const ProjectDocument& document)
{
    SheetWindow window(document, parent);
    window.exec();
}

QString UserGuideHtml()
{
    InitGuideResources();
    QFile file(QStringLiteral(":/guide/UserGuide.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void ShowUserGuide(QWidget* parent)
{
    QDialog window(parent);
    window.setObjectName(QStringLiteral("frmGuide"));
    window.setWindowTitle(QStringLiteral("Pendrake User Guide"));
    auto* browser = new QTextBrowser(&window);
    browser->setObjectName(QStringLiteral("txtGuide"));
    browser->setSearchPaths({ QStringLiteral(":/guide") });
    browser->setHtml(UserGuideHtml());
    auto* close = Button(QStringLiteral("Close"), "cmdClose", &window);
    QObject::connect(close, &QPushButton::clicked, &window, &QDialog::accept);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(browser, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    window.resize(Px(12000), Px(10800));
    window.exec();
}

} // namespace pendrake::ui
