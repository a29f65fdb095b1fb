// The print options dialog, the printing window, and the preview painting the printed pages.
// Cancelling is the print job's, tested with it.
#include "report/QtPageCanvas.h"
#include "report/RecordingCanvas.h"
#include "support/Walls.h"
#include "support/Widgets.h"
#include "ui/Platform.h"
#include "ui/frmPrint.h"
#include "ui/frmPrinting.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPdfWriter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace pendrake;
using namespace pendrake::ui;
using pendrake::report::PrintOptions;
using pendrake::ui::uitest::Button;
using pendrake::ui::uitest::Capture;
using pendrake::ui::uitest::Find;

QCheckBox* Box(QWidget& w, int k)
{
    return Find<QCheckBox>(w, QStringLiteral("chkPrint_%1").arg(k));
}

// "Pendrake: text" of every warning box shown.
std::vector<std::string> Shown(const Capture& c)
{
    std::vector<std::string> texts;
    for (const auto& m : c.Messages)
        texts.push_back(m.Title.toStdString() + ": " + m.Text.toStdString());
    return texts;
}

const PrintOptions AllOptions { 1, 1, 1, 1, 1, 1, 0 }; // every section, no calculation sheet

TEST(frmPrint, SixBoxesShowTheKeptChoicesAndCancelKeepsTheNewOnes)
{
    const ProjectDocument p(test::DefaultWall());
    PrintOptions options { .PrintDimensions = 1, .PrintConcrete = 1 };
    frmPrint dialog(p, options);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Pendrake: Print"));
    const char* captions[] = { "&Dimensions", "&Loads", "&Properties", "&Stability analysis",
        "&Reactions", "&Concrete design" };
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(Box(dialog, k)->text(), QString::fromUtf8(captions[k]));
        EXPECT_TRUE(Box(dialog, k)->isEnabled());
        EXPECT_EQ(Box(dialog, k)->isChecked(), k == 0 || k == 5) << k;
    }
    auto* sheet = Find<QCheckBox>(dialog, QStringLiteral("chkPrintSheet"));
    EXPECT_EQ(sheet->text(), QStringLiteral("Calculation s&heet"));
    EXPECT_FALSE(sheet->isChecked());
    Box(dialog, 2)->setChecked(true);
    Box(dialog, 0)->setChecked(false);
    Button(dialog, "Command3")->click();
    EXPECT_FALSE(dialog.PrintConfirmed());
    EXPECT_EQ(options, (PrintOptions { .PrintProperties = 1, .PrintConcrete = 1 }));
}

TEST(frmPrint, UnstableWallTakesReactionsAndConcreteAway)
{
    Capture messages;
    const ProjectDocument p(test::UnstableWall());
    PrintOptions options = AllOptions;
    const int runs = p.CombinationRuns();
    frmPrint dialog(p, options);
    EXPECT_FALSE(dialog.Stable());
    EXPECT_EQ(p.CombinationRuns(), runs); // the dialog reads the document's verdict
    for (int k : { 4, 5 }) {
        EXPECT_FALSE(Box(dialog, k)->isChecked()) << k;
        EXPECT_FALSE(Box(dialog, k)->isEnabled()) << k;
    }
    // The verdict of the combination run, as the concrete design command gives it; the run's
    // other messages were told when the record changed.
    EXPECT_EQ(Shown(messages),
        std::vector<std::string> { "Pendrake: " + std::string(UnstableCombinationMessage) });
    Button(dialog, "Command2")->click();
    EXPECT_TRUE(dialog.PrintConfirmed());
    EXPECT_EQ(options.PrintReactions, 0);
    EXPECT_EQ(options.PrintConcrete, 0);
    EXPECT_EQ(options.PrintStability, 1);
}

// Clicks "&Print" of the options dialog as soon as it shows.
void ConfirmPrintOptions()
{
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<frmPrint*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        Button(*dialog, "Command2")->click();
    });
}

// The preview paints exactly what the printing window prints. A job whose device cannot open
// its first page says so once; the next job, on a PDF, prints.
TEST(PrintCommand, PreviewPrintingWindowAndAFailedJobThenAPdf)
{
    const ProjectDocument p(test::DefaultWall());
    PrintOptions options { .PrintDimensions = 1, .PrintLoads = 1, .PrintReactions = 1 };
    report::RecordingCanvas previewed;
    int paints = 0;
    SetPreviewFunction([&](QWidget*, const std::function<void(report::PageCanvas&)>& paint) {
        ++paints;
        paint(previewed);
    });
    ConfirmPrintOptions();
    RunPrintPreviewCommand(nullptr, p, options, { "Arial", "Arial" });
    SetPreviewFunction({});
    ASSERT_EQ(paints, 1);

    // The printing window runs the job when it shows, naming each section, and closes itself.
    report::RecordingCanvas printed;
    frmPrinting window(p, options, { "Arial", "Arial" }, printed);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Pendrake: Printing"));
    auto* label = Find<QLabel>(window, QStringLiteral("Label1"));
    EXPECT_EQ(label->text(), QStringLiteral("Printing"));
    EXPECT_EQ(Button(window, "Command1")->text(), QStringLiteral("&Cancel"));
    window.exec();
    ASSERT_TRUE(window.JobDone());
    EXPECT_EQ(window.Result().Sheets, 2);
    EXPECT_EQ(label->text(), QStringLiteral("Printing reactions"));
    EXPECT_EQ(printed.Pages(), 2);
    ASSERT_EQ(previewed.Calls().size(), printed.Calls().size());
    for (size_t i = 0; i < printed.Calls().size(); ++i) {
        const report::RecordedCall& a = previewed.Calls()[i];
        const report::RecordedCall& b = printed.Calls()[i];
        ASSERT_TRUE(a.Kind == b.Kind && a.Page == b.Page && a.X1 == b.X1 && a.Y1 == b.Y1
            && a.X2 == b.X2 && a.Y2 == b.Y2 && a.Text == b.Text)
            << "call " << i << " " << a.Text << " / " << b.Text;
    }

    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("second.pdf"));
    QString target = dir.filePath(QStringLiteral("no-such-folder/first.pdf"));
    SetPrintDeviceFunction([&target] {
        auto writer = std::make_unique<QPdfWriter>(target);
        report::SetUpA4Pdf(*writer);
        return PrintDevice { std::move(writer), {} };
    });
    Capture messages;
    options = AllOptions;
    for (const QString& path : { target, good }) {
        target = path;
        ConfirmPrintOptions();
        RunPrintCommand(nullptr, p, options, { "Arial", "Arial" });
    }
    SetPrintDeviceFunction({});
    EXPECT_EQ(Shown(messages),
        std::vector<std::string> {
            "Pendrake: The printer or the output file could not be opened." });
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    // Five sheets of nine sections on a stable wall.
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 5);
}

} // namespace
