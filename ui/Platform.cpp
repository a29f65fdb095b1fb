// The real dialogs behind the replaceable message, beep, file and printer functions.
#include "ui/Platform.h"

#include "report/QtPageCanvas.h"
#include <QApplication>
#include <QFileDialog>

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace pendrake::ui {

namespace {

MessageFunction& Messages()
{
    static MessageFunction f;
    return f;
}
BeepFunction& Beeps()
{
    static BeepFunction f;
    return f;
}
FileDialogFunction& FileDialogs()
{
    static FileDialogFunction f;
    return f;
}
PrinterDialogFunction& PrinterDialogs()
{
    static PrinterDialogFunction f;
    return f;
}

PrintDeviceFunction& PrintDevices()
{
    static PrintDeviceFunction f;
    return f;
}
PreviewFunction& Previews()
{
    static PreviewFunction f;
    return f;
}

} // namespace

void SetPrintDeviceFunction(PrintDeviceFunction f)
{
    PrintDevices() = std::move(f);
}
void SetPreviewFunction(PreviewFunction f)
{
    Previews() = std::move(f);
}

void SetMessageFunction(MessageFunction f)
{
    Messages() = std::move(f);
}
void SetBeepFunction(BeepFunction f)
{
    Beeps() = std::move(f);
}
void SetFileDialogFunction(FileDialogFunction f)
{
    FileDialogs() = std::move(f);
}
void SetPrinterDialogFunction(PrinterDialogFunction f)
{
    PrinterDialogs() = std::move(f);
}

QMessageBox::StandardButton ShowMessage(QWidget* parent, QMessageBox::Icon icon,
    const QString& title, const QString& text, QMessageBox::StandardButtons buttons)
{
    if (Messages())
        return Messages()(parent, icon, title, text, buttons);
    QMessageBox box(icon, title, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void ShowWarning(QWidget* parent, const QString& text)
{
    ShowMessage(parent, QMessageBox::Warning, QStringLiteral("Pendrake"), text);
}

void Beep()
{
    if (Beeps())
        Beeps()();
    else
        QApplication::beep();
}

QString RunFileDialog(QWidget* parent, const FileDialogRequest& request)
{
    if (FileDialogs())
        return FileDialogs()(parent, request);
    QFileDialog dialog(parent, request.Title, request.Directory, request.Filter);
    dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.DefaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.DefaultSuffix);
    if (!request.ConfirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool RunPrinterDialog(QWidget* parent)
{
    if (PrinterDialogs())
        return PrinterDialogs()(parent);
    QPrintDialog dialog(&SharedPrinter(), parent);
    dialog.setWindowTitle(QStringLiteral("Pendrake"));
    return dialog.exec() == QDialog::Accepted;
}

QPrinter& SharedPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

std::unique_ptr<QPrinter> MakeJobPrinter()
{
    const QPrinter& chosen = SharedPrinter();
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(chosen.outputFormat());
    if (chosen.outputFormat() == QPrinter::NativeFormat)
        printer->setPrinterName(chosen.printerName());
    printer->setOutputFileName(chosen.outputFileName());
    printer->setPageLayout(chosen.pageLayout());
    printer->setCopyCount(chosen.copyCount());
    printer->setCollateCopies(chosen.collateCopies());
    printer->setColorMode(chosen.colorMode());
    printer->setDuplex(chosen.duplex());
    printer->setDocName(chosen.docName());
    // Page positions are measured from the sheet's corner; the report's margins keep them
    // clear of the printer's unprintable edge.
    printer->setFullPage(true);
    return printer;
}

PrintDevice MakePrintDevice()
{
    if (PrintDevices())
        return PrintDevices()();
    std::unique_ptr<QPrinter> printer = MakeJobPrinter();
    QPrinter* raw = printer.get();
    return { std::move(printer), [raw] { raw->abort(); } };
}

void RunPreview(QWidget* parent, const std::function<void(report::PageCanvas& canvas)>& paint)
{
    if (Previews()) {
        Previews()(parent, paint);
        return;
    }
    std::unique_ptr<QPrinter> printer = MakeJobPrinter();
    QPrintPreviewDialog dialog(printer.get(), parent);
    dialog.setWindowTitle(QStringLiteral("Pendrake: Print Preview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) {
        report::QtPageCanvas canvas(*p);
        paint(canvas);
    });
    dialog.exec();
}

bool ConfirmReplace(QWidget* parent, const QString& path)
{
    if (!QFileInfo::exists(path))
        return true;
    const QString text = QDir::toNativeSeparators(path)
        + QStringLiteral(" already exists.\nDo you want to replace it?");
    return ShowMessage(parent, QMessageBox::Question, QStringLiteral("Pendrake"), text,
               QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace pendrake::ui
