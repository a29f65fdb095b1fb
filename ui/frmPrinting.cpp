// The printing window and the File Print command.
#include "ui/frmPrinting.h"

#include "report/QtPageCanvas.h"
#include "report/ReportSections.h"
#include "ui/Platform.h"
#include "ui/frmPrint.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace pendrake::ui {

frmPrinting::frmPrinting(const ProjectDocument& document, const report::PrintOptions& options,
    FontChoice fonts, QPagedPaintDevice& device, std::function<void()> abortDevice, QWidget* parent)
    : QDialog(parent)
    , document_(document)
    , options_(options)
    , fonts_(std::move(fonts))
    , device_(&device)
    , abortDevice_(std::move(abortDevice))
{
    Build();
}

frmPrinting::frmPrinting(const ProjectDocument& document, const report::PrintOptions& options,
    FontChoice fonts, report::PageCanvas& canvas, QWidget* parent)
    : QDialog(parent)
    , document_(document)
    , options_(options)
    , fonts_(std::move(fonts))
    , canvas_(&canvas)
{
    Build();
}

void frmPrinting::Build()
{
    setObjectName(QStringLiteral("frmPrinting"));
    setWindowTitle(QStringLiteral("Pendrake: Printing"));
    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(QStringLiteral("Printing"), this);
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setMinimumWidth(Px(3600));
    layout->addWidget(label_);
    auto* row = new QHBoxLayout;
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("Command1"));
    row->addStretch();
    row->addWidget(cancel_);
    row->addStretch();
    layout->addLayout(row);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        cancelRequested_ = true;
        cancel_->setEnabled(false);
    });
}

void frmPrinting::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (started_)
        return;
    started_ = true;
    // The job starts once the window is on screen, so that its label can be followed.
    QTimer::singleShot(0, this, &frmPrinting::RunJob);
}

report::PrintJobResult RunDocumentJob(report::PageCanvas& canvas, const ProjectDocument& document,
    const report::PrintOptions& options, const FontChoice& fonts,
    const report::PrintJobHooks& hooks, std::function<void(const std::string&)> onPrinterError)
{
    report::ReportContext ctx(canvas, document);
    ctx.TextFont = fonts.TextFont;
    ctx.GreekFont = fonts.GreekFont;
    report::StampLocaleDateTime(ctx);
    ctx.OnPrinterError = std::move(onPrinterError);
    return report::RunPrintJob(ctx, options, report::StandardSectionPrinters(), hooks);
}

void frmPrinting::RunJob()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::optional<report::QtPageCanvas> own;
    report::PageCanvas* canvas = canvas_;
    if (canvas == nullptr) {
        own.emplace(*device_, abortDevice_);
        canvas = &*own;
    }
    // A device that failed once fails every page after: the job stops at the first error and
    // tells it once.
    std::vector<std::string> errors;
    auto deviceFailed = [&] { return !errors.empty() || (own && !own->ErrorText().empty()); };

    report::PrintJobHooks hooks;
    hooks.OnLabel = [this](const std::string& text) {
        label_->setText(QString::fromStdString(text));
        label_->repaint();
        QCoreApplication::processEvents();
    };
    // The engineer's click is seen between two sections.
    hooks.CancelRequested = [&] {
        QCoreApplication::processEvents();
        return cancelRequested_ || deviceFailed();
    };
    result_ = RunDocumentJob(*canvas, document_, options_, fonts_, hooks,
        [&](const std::string& text) { errors.push_back(text); });
    QApplication::restoreOverrideCursor();

    // The engine's messages were told when the record changed; the printer's are new.
    const std::vector<std::string>& told = document_.Messages();
    for (const std::string& message : result_.Messages) {
        if (std::find(told.begin(), told.end(), message) == told.end())
            ShowWarning(this, QString::fromStdString(message));
    }
    failed_ = deviceFailed();
    if (failed_) {
        const std::string text
            = own && !own->ErrorText().empty() ? own->ErrorText() : errors.front();
        ShowWarning(this, QString::fromStdString(text));
    }
    done_ = true;
    accept();
}

namespace {

// The options dialog; true when the engineer chose "&Print".
bool ConfirmOptions(QWidget* parent, const ProjectDocument& document, report::PrintOptions& options)
{
    frmPrint dialog(document, options, parent);
    dialog.exec();
    return dialog.PrintConfirmed();
}

} // namespace

void RunPrintCommand(QWidget* parent, const ProjectDocument& document,
    report::PrintOptions& options, const FontChoice& fonts)
{
    if (!ConfirmOptions(parent, document, options))
        return;
    PrintDevice device = MakePrintDevice();
    frmPrinting printing(document, options, fonts, *device.Device, device.Abort, parent);
    printing.exec();
}

void RunPrintPreviewCommand(QWidget* parent, const ProjectDocument& document,
    report::PrintOptions& options, const FontChoice& fonts)
{
    if (!ConfirmOptions(parent, document, options))
        return;
    RunPreview(parent, [&](report::PageCanvas& canvas) {
        std::vector<std::string> errors;
        RunDocumentJob(canvas, document, options, fonts, {},
            [&](const std::string& text) { errors.push_back(text); });
        if (!errors.empty())
            ShowWarning(parent, QString::fromStdString(errors.front()));
    });
}

namespace {

// The PDF file to write, asked with the dialog and confirmed when it would replace a file;
// empty when the engineer gave up.
QString AskPdfPath(QWidget* parent, const QString& title, const QString& suggested)
{
    FileDialogRequest request;
    request.Save = true;
    request.Title = title;
    request.Directory = suggested;
    request.Filter = QStringLiteral("PDF files (*.pdf)");
    request.DefaultSuffix = QStringLiteral("pdf");
    request.ConfirmOverwrite = false; // asked below, the same way whichever dialog ran
    const QString path = RunFileDialog(parent, request);
    if (path.isEmpty() || !ConfirmReplace(parent, path))
        return {};
    return path;
}

} // namespace

void RunExportPdfCommand(QWidget* parent, const ProjectDocument& document,
    report::PrintOptions& options, const FontChoice& fonts)
{
    if (!ConfirmOptions(parent, document, options))
        return;
    const QString path = AskPdfPath(parent, QStringLiteral("Pendrake: Export PDF"), QString());
    if (path.isEmpty())
        return;
    QPdfWriter writer(path);
    report::SetUpA4Pdf(writer);
    writer.setTitle(QString::fromStdString(document.Record().ProjectTitle));
    frmPrinting printing(document, options, fonts, writer, {}, parent);
    printing.exec();
}

void PrintCalculatorOnPrinter(QWidget* window, const ProjectDocument& document,
    const FontChoice& fonts, const CalculatorInput& input, const CalculatorResult& result)
{
    std::unique_ptr<QPrinter> printer = MakeJobPrinter();
    if (printer->outputFormat() == QPrinter::PdfFormat) {
        const QString path = AskPdfPath(
            window, QStringLiteral("Pendrake: Print to PDF"), printer->outputFileName());
        if (path.isEmpty())
            return;
        printer->setOutputFileName(path);
    }
    QPrinter* raw = printer.get();
    report::QtPageCanvas canvas(*printer, [raw] { raw->abort(); });
    // The page reads the project's margins, footer and fonts; the calculator never changes it.
    report::ReportContext ctx(canvas, document);
    ctx.TextFont = fonts.TextFont;
    ctx.GreekFont = fonts.GreekFont;
    report::StampLocaleDateTime(ctx);
    std::vector<std::string> errors;
    ctx.OnPrinterError = [&errors](const std::string& text) { errors.push_back(text); };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    report::PrintCalculatorPage(ctx, input, result);
    QApplication::restoreOverrideCursor();
    for (const std::string& message : ctx.Messages)
        ShowWarning(window, QString::fromStdString(message));
    // One box for a failed page, whatever else it refused after.
    if (!canvas.ErrorText().empty())
        ShowWarning(window, QString::fromStdString(canvas.ErrorText()));
    else if (!errors.empty())
        ShowWarning(window, QString::fromStdString(errors.front()));
}

} // namespace pendrake::ui
