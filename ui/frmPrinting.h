// The printing window: shows which section is being printed while the print job runs, and its
// "&Cancel" gives the job up between two sections. It runs the job when it is first shown and
// closes itself when the job is done.
#pragma once

#include "calculator/CalculatorComputation.h"
#include "document/ProjectDocument.h"
#include "report/PrintJob.h"
#include "ui/FontChoice.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPagedPaintDevice;

namespace pendrake::report {
class PageCanvas;
}
class QPushButton;
class QShowEvent;

namespace pendrake::ui {

class frmPrinting : public QDialog {
    Q_OBJECT
public:
    // Prints `options` of the document on `device` (the shared printer, set to full-page painting,
    // or any paged device); abortDevice drops the device's job when the engineer cancels.
    frmPrinting(const ProjectDocument& document, const report::PrintOptions& options,
        FontChoice fonts, QPagedPaintDevice& device, std::function<void()> abortDevice,
        QWidget* parent = nullptr);
    // Prints on any page canvas (a recording one in tests).
    frmPrinting(const ProjectDocument& document, const report::PrintOptions& options,
        FontChoice fonts, report::PageCanvas& canvas, QWidget* parent = nullptr);

    const report::PrintJobResult& Result() const { return result_; }
    bool JobDone() const { return done_; }
    // The device failed: the job stopped there and its one message was shown.
    bool Failed() const { return failed_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build();
    void RunJob();

    const ProjectDocument& document_;
    report::PrintOptions options_;
    FontChoice fonts_;
    QPagedPaintDevice* device_ = nullptr;
    report::PageCanvas* canvas_ = nullptr;
    std::function<void()> abortDevice_;
    QLabel* label_ = nullptr;
    QPushButton* cancel_ = nullptr;
    report::PrintJobResult result_;
    bool started_ = false;
    bool done_ = false;
    bool cancelRequested_ = false;
    bool failed_ = false;
};

// The report of `options` on `canvas`, in the report fonts: the job of the printing window and
// of the print preview. Printer errors go to onPrinterError.
report::PrintJobResult RunDocumentJob(report::PageCanvas& canvas, const ProjectDocument& document,
    const report::PrintOptions& options, const FontChoice& fonts,
    const report::PrintJobHooks& hooks, std::function<void(const std::string&)> onPrinterError);

// The File Print command: the options dialog and, when confirmed, the printing window on a
// fresh printer with the settings of Printer setup. `options` are the session's kept choices.
void RunPrintCommand(QWidget* parent, const ProjectDocument& document,
    report::PrintOptions& options, const FontChoice& fonts);

// File Print Preview: the options dialog and, when confirmed, the preview of the same job.
void RunPrintPreviewCommand(QWidget* parent, const ProjectDocument& document,
    report::PrintOptions& options, const FontChoice& fonts);

// File Export PDF: the options dialog, the file name (asking before replacing a file) and the
// job on an A4 PDF, without any printer.
void RunExportPdfCommand(QWidget* parent, const ProjectDocument& document,
    report::PrintOptions& options, const FontChoice& fonts);

// The calculator's printed page on the printer chosen in Printer setup, in the report fonts;
// when that printer prints to PDF, the file name is asked (and a file replaced only when the
// engineer agrees). A printer failure is shown in one warning box over `window`.
void PrintCalculatorOnPrinter(QWidget* window, const ProjectDocument& document,
    const FontChoice& fonts, const CalculatorInput& input, const CalculatorResult& result);

} // namespace pendrake::ui
