// The modal interactions of the program that a test cannot click through: message boxes, the
// beep, file dialogs and the printer set-up. Each goes through one replaceable function, so tests
// capture what the engineer would see instead of blocking on a modal box.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace pendrake::report {
class PageCanvas;
}

namespace pendrake::ui {

// Every message box of the program. Returns the button pressed.
using MessageFunction
    = std::function<QMessageBox::StandardButton(QWidget* parent, QMessageBox::Icon icon,
        const QString& title, const QString& text, QMessageBox::StandardButtons buttons)>;

// A refused entry: the only feedback of an input box is this beep.
using BeepFunction = std::function<void()>;

// File dialogs: the chosen path, or an empty string when cancelled.
struct FileDialogRequest {
    bool Save = false;
    QString Title;
    QString Directory;
    QString Filter;
    QString DefaultSuffix;
    // False when the caller asks before overwriting itself.
    bool ConfirmOverwrite = true;
};
using FileDialogFunction = std::function<QString(QWidget* parent, const FileDialogRequest&)>;

// The printer set-up dialog. Returns false when cancelled.
using PrinterDialogFunction = std::function<bool(QWidget* parent)>;

// The device of one print job: a fresh printer with the settings chosen in Printer setup, so
// that a job that failed leaves nothing active behind for the next one. `Abort` drops its job.
struct PrintDevice {
    std::unique_ptr<QPagedPaintDevice> Device;
    std::function<void()> Abort;
};
using PrintDeviceFunction = std::function<PrintDevice()>;

// The print preview: shows the pages that `paint` puts on a canvas, as often as it asks.
using PreviewFunction = std::function<void(
    QWidget* parent, const std::function<void(report::PageCanvas& canvas)>& paint)>;

// Installs a replacement (tests) or, given an empty function, restores the real Qt dialog.
void SetMessageFunction(MessageFunction f);
void SetBeepFunction(BeepFunction f);
void SetFileDialogFunction(FileDialogFunction f);
void SetPrinterDialogFunction(PrinterDialogFunction f);
void SetPrintDeviceFunction(PrintDeviceFunction f);
void SetPreviewFunction(PreviewFunction f);

QMessageBox::StandardButton ShowMessage(QWidget* parent, QMessageBox::Icon icon,
    const QString& title, const QString& text,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// A warning box titled "Pendrake" with the exclamation icon: how every command reports failure.
void ShowWarning(QWidget* parent, const QString& text);

void Beep();
QString RunFileDialog(QWidget* parent, const FileDialogRequest& request);
bool RunPrinterDialog(QWidget* parent);

// The printer chosen in Printer setup: it holds the settings of every print job of the session
// and is never painted on itself.
QPrinter& SharedPrinter();

// A new printer with the settings of SharedPrinter, set to full-page painting.
std::unique_ptr<QPrinter> MakeJobPrinter();
PrintDevice MakePrintDevice();
void RunPreview(QWidget* parent, const std::function<void(report::PageCanvas& canvas)>& paint);

// "Yes" to replacing `path`, asked only when the file exists; true when nothing is in the way.
bool ConfirmReplace(QWidget* parent, const QString& path);

// Positions and sizes of the windows are laid out in twips; Qt works in device-independent
// pixels, 96 to the logical inch, so 15 twips make one pixel on every screen.
constexpr int TwipsPerInch = 1440;
constexpr int PixelsPerLogicalInch = 96;
constexpr int Px(double twips)
{
    return static_cast<int>(
        twips * PixelsPerLogicalInch / TwipsPerInch + (twips >= 0 ? 0.5 : -0.5));
}
constexpr double Twips(int pixels)
{
    return double(pixels) * TwipsPerInch / PixelsPerLogicalInch;
}

} // namespace pendrake::ui
