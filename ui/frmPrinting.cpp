// The printing window and the File Print command.
#include "ui/frmPrinting.h"

#include "report/QtPageCanvas.h"
#include "report/ReportSections.h"
#include "ui/Platform.h"
#include "ui/frmPrint.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace pendrake::ui {

frmPrinting::frmPrinting(const ProjectDocument& document, const report::PrintOptions& options,
    FontChoice fonts, QPagedPaintDevice& device, std::function<void()> abortDevice, QWidget* parent)
    : QDialog(parent)
    , document_(document)
    , options_(options)
    , fonts_(std::move(fonts))
    , device_(device)
    , abortDevice_(std::move(abortDevice))
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

void frmPrinting::RunJob()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    report::QtPageCanvas canvas(device_, abortDevice_);
    report::ReportContext ctx(canvas, document_);
    ctx.TextFont = fonts_.TextFont;
    ctx.GreekFont = fonts_.GreekFont;
    report::StampLocaleDateTime(ctx);
    ctx.OnPrinterError = [this](const std::string& text) {
        QApplication::restoreOverrideCursor();
        ShowWarning(this, QString::fromStdString(text));
        QApplication::setOverrideCursor(Qt::WaitCursor);
    };

    report::PrintJobHooks hooks;
    hooks.OnLabel = [this](const std::string& text) {
        label_->setText(QString::fromStdString(text));
        label_->repaint();
        QCoreApplication::processEvents();
    };
    // The engineer's click is seen between two sections.
    hooks.CancelRequested = [this] {
        QCoreApplication::processEvents();
        return cancelRequested_;
    };
    result_ = report::RunPrintJob(ctx, options_, report::StandardSectionPrinters(), hooks);
    QApplication::restoreOverrideCursor();

    // The engine's messages were told when the record changed; the printer's are new.
    const std::vector<std::string>& told = document_.Messages();
    for (const std::string& message : result_.Messages) {
        if (std::find(told.begin(), told.end(), message) == told.end())
            ShowWarning(this, QString::fromStdString(message));
    }
    if (!canvas.ErrorText().empty() && !result_.Cancelled)
        ShowWarning(this, QString::fromStdString(canvas.ErrorText()));
    done_ = true;
    accept();
}

void RunPrintCommand(QWidget* parent, const ProjectDocument& document,
    report::PrintOptions& options, const FontChoice& fonts)
{
    frmPrint dialog(document, options, parent);
    dialog.exec();
    if (!dialog.PrintConfirmed())
        return;
    QPrinter& printer = SharedPrinter();
    // Page positions are measured from the sheet's corner; the report's margins keep them
    // clear of the printer's unprintable edge.
    printer.setFullPage(true);
    frmPrinting printing(
        document, options, fonts, printer, [&printer] { printer.abort(); }, parent);
    printing.exec();
}

void PrintCalculatorOnPrinter(QWidget* window, const ProjectDocument& document,
    const FontChoice& fonts, const CalculatorInput& input, const CalculatorResult& result)
{
    QPrinter& printer = SharedPrinter();
    printer.setFullPage(true);
    report::QtPageCanvas canvas(printer, [&printer] { printer.abort(); });
    // The page reads the project's margins, footer and fonts; the calculator never changes it.
    report::ReportContext ctx(canvas, document);
    ctx.TextFont = fonts.TextFont;
    ctx.GreekFont = fonts.GreekFont;
    report::StampLocaleDateTime(ctx);
    ctx.OnPrinterError
        = [window](const std::string& text) { ShowWarning(window, QString::fromStdString(text)); };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    report::PrintCalculatorPage(ctx, input, result);
    QApplication::restoreOverrideCursor();
    for (const std::string& message : ctx.Messages)
        ShowWarning(window, QString::fromStdString(message));
    if (!canvas.ErrorText().empty())
        ShowWarning(window, QString::fromStdString(canvas.ErrorText()));
}

} // namespace pendrake::ui
