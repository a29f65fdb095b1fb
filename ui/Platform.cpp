// The real dialogs behind the replaceable message, beep, file and printer functions.
#include "ui/Platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
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

} // namespace

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

} // namespace pendrake::ui
