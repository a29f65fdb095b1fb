// The window tests run on Qt's offscreen platform with the settings in a temporary folder. No
// test may block on a modal box: before every test the message, file and printer functions are
// replaced by ones that record the call as a failure, and a test that expects a box installs
// its own.
#include "ui/Platform.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace pendrake::ui;

void InstallFailingDialogs()
{
    SetMessageFunction([](QWidget*, QMessageBox::Icon, const QString& title, const QString& text,
                           QMessageBox::StandardButtons buttons) {
        ADD_FAILURE() << "unexpected message box \"" << title.toStdString()
                      << "\": " << text.toStdString();
        return (buttons & QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
    });
    SetBeepFunction([] {});
    SetFileDialogFunction([](QWidget*, const FileDialogRequest& request) {
        ADD_FAILURE() << "unexpected file dialog \"" << request.Title.toStdString() << "\"";
        return QString();
    });
    SetPrinterDialogFunction([](QWidget*) {
        ADD_FAILURE() << "unexpected printer dialog";
        return false;
    });
    SetPreviewFunction([](QWidget*, const auto&) { ADD_FAILURE() << "unexpected print preview"; });
    SetPrintDeviceFunction({});
}

// Puts the failing functions back around every test, whatever the previous one installed.
struct DialogGuard : testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { InstallFailingDialogs(); }
    void OnTestEnd(const testing::TestInfo&) override { InstallFailingDialogs(); }
};

} // namespace

int main(int argc, char** argv)
{
    // Test discovery at build time runs without ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);

    // The engineer's own settings are never read or written by a test.
    QTemporaryDir settings;
    if (!settings.isValid())
        return 2;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());

    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new DialogGuard);
    InstallFailingDialogs();
    return RUN_ALL_TESTS();
}
