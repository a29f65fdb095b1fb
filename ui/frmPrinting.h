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

    const report::PrintJobResult& Result() const { return result_; }
    bool JobDone() const { return done_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RunJob();

    const ProjectDocument& document_;
    report::PrintOptions options_;
    FontChoice fonts_;
    QPagedPaintDevice& device_;
    std::function<void()> abortDevice_;
    QLabel* label_ = nullptr;
    QPushButton* cancel_ = nullptr;
    report::PrintJobResult result_;
    bool started_ = false;
    bool done_ = false;
    bool cancelRequested_ = false;
};

// The File Print command: the options dialog and, when confirmed, the printing window on the
// printer chosen in Printer setup. `options` are the session's kept choices.
void RunPrintCommand(QWidget* parent, const ProjectDocument& document,
    report::PrintOptions& options, const FontChoice& fonts);

// The calculator's printed page on the printer chosen in Printer setup, in the report fonts.
// Printer failures are shown in warning boxes over `window`.
void PrintCalculatorOnPrinter(QWidget* window, const ProjectDocument& document,
    const FontChoice& fonts, const CalculatorInput& input, const CalculatorResult& result);

} // namespace pendrake::ui
