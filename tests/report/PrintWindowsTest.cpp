// The print options dialog and the printing window: the kept choices, the stability check that
// takes Reactions and Concrete design away, cancelling, a failed device and a PDF written, and
// the preview painting the printed pages.
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
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace pendrake;
using pendrake::test::UnstableWall;
using namespace pendrake::ui;
using pendrake::report::PrintOptions;
using pendrake::ui::uitest::Capture;
using pendrake::ui::uitest::Captured;

QCheckBox* Box(QWidget& w, int k)
{
    return w.findChild<QCheckBox*>(QStringLiteral("chkPrint_%1").arg(k));
}

// "Pendrake: text" of every warning box shown.
std::vector<std::string> Shown(const Capture& c)
{
    std::vector<std::string> texts;
    for (const Captured& m : c.Messages)
        texts.push_back(m.Title.toStdString() + ": " + m.Text.toStdString());
    return texts;
}

TEST(frmPrint, SixBoxesShowTheKeptChoicesAndCancelKeepsTheNewOnes)
{
    const ProjectDocument p(MakeNewProject("Arial"));
    PrintOptions options;
    options.PrintDimensions = 1;
    options.PrintConcrete = 1;
    frmPrint dialog(p, options);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Pendrake: Print"));
    const char* captions[] = { "&Dimensions", "&Loads", "&Properties", "&Stability analysis",
        "&Reactions", "&Concrete design" };
    for (int k = 0; k < 6; ++k) {
        ASSERT_NE(Box(dialog, k), nullptr) << k;
        EXPECT_EQ(Box(dialog, k)->text(), QString::fromUtf8(captions[k]));
        EXPECT_TRUE(Box(dialog, k)->isEnabled());
        EXPECT_EQ(Box(dialog, k)->isChecked(), k == 0 || k == 5) << k;
    }
    EXPECT_TRUE(dialog.Stable());
    auto* sheet = dialog.findChild<QCheckBox*>(QStringLiteral("chkPrintSheet"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->text(), QStringLiteral("Calculation s&heet"));
    EXPECT_FALSE(sheet->isChecked());
    Box(dialog, 2)->setChecked(true);
    Box(dialog, 0)->setChecked(false);
    dialog.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
    EXPECT_FALSE(dialog.PrintConfirmed());
    PrintOptions expected;
    expected.PrintProperties = 1;
    expected.PrintConcrete = 1;
    EXPECT_EQ(options, expected);
}

TEST(frmPrint, UnstableWallTakesReactionsAndConcreteAway)
{
    Capture messages;
    const ProjectDocument p(UnstableWall());
    PrintOptions options;
    for (int k = 0; k < 6; ++k)
        options.Option(k) = 1;
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
    dialog.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    EXPECT_TRUE(dialog.PrintConfirmed());
    EXPECT_EQ(options.PrintReactions, 0);
    EXPECT_EQ(options.PrintConcrete, 0);
    EXPECT_EQ(options.PrintStability, 1);
}

TEST(frmPrinting, CancelBeforeTheFirstSectionPrintsNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cancelled.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    const ProjectDocument p(MakeNewProject("Arial"));
    PrintOptions options;
    options.PrintDimensions = 1;
    options.PrintLoads = 1;
    bool aborted = false;
    frmPrinting window(p, options, { "Arial", "Arial" }, printer, [&] { aborted = true; });
    auto* cancel = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    // Clicked as soon as the event loop runs, before the job's own start.
    QTimer::singleShot(0, cancel, &QPushButton::click);
    window.exec();
    EXPECT_TRUE(window.Result().Cancelled);
    EXPECT_TRUE(window.Result().Placed.empty());
    EXPECT_FALSE(aborted); // nothing had been sent to the device
}

// Clicks "&Print" of the options dialog as soon as it shows.
void ConfirmPrintOptions()
{
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<frmPrint*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    });
}

// A job whose device cannot open its first page says so once; the next job, on a PDF, prints.
TEST(PrintCommand, AFailedJobShowsOneMessageAndTheNextJobPrints)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("second.pdf"));
    const QString bad = dir.filePath(QStringLiteral("no-such-folder/first.pdf"));
    QString target = bad;
    SetPrintDeviceFunction([&target] {
        auto writer = std::make_unique<QPdfWriter>(target);
        report::SetUpA4Pdf(*writer);
        return PrintDevice { std::move(writer), {} };
    });
    Capture messages;
    const ProjectDocument p(MakeNewProject("Arial"));
    PrintOptions options;
    for (int k = 0; k < report::PrintOptionCount; ++k)
        options.Option(k) = 1;
    ConfirmPrintOptions();
    RunPrintCommand(nullptr, p, options, { "Arial", "Arial" });
    EXPECT_EQ(Shown(messages),
        std::vector<std::string> {
            "Pendrake: The printer or the output file could not be opened." });

    target = good;
    ConfirmPrintOptions();
    RunPrintCommand(nullptr, p, options, { "Arial", "Arial" });
    EXPECT_EQ(messages.Messages.size(), 1u);
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    // Five sheets of nine sections on a stable wall.
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 5);
    SetPrintDeviceFunction({});
}

// The preview paints exactly what the printing window prints.
TEST(PrintCommand, PreviewPagesAreThePagesThePrintingWindowPrints)
{
    const ProjectDocument p(MakeNewProject("Arial"));
    PrintOptions options;
    options.PrintDimensions = 1;
    options.PrintLoads = 1;
    options.PrintReactions = 1;
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
    auto* label = window.findChild<QLabel*>(QStringLiteral("Label1"));
    EXPECT_EQ(label->text(), QStringLiteral("Printing"));
    EXPECT_EQ(window.findChild<QPushButton*>(QStringLiteral("Command1"))->text(),
        QStringLiteral("&Cancel"));
    window.exec();
    ASSERT_TRUE(window.JobDone());
    ASSERT_FALSE(window.Result().Cancelled);
    EXPECT_EQ(window.Result().Sheets, 2);
    EXPECT_EQ(label->text(), QStringLiteral("Printing reactions"));
    EXPECT_EQ(printed.Pages(), 2);
    ASSERT_EQ(previewed.Calls().size(), printed.Calls().size());
    EXPECT_EQ(previewed.Pages(), printed.Pages());
    for (size_t i = 0; i < printed.Calls().size(); ++i) {
        const report::RecordedCall& a = previewed.Calls()[i];
        const report::RecordedCall& b = printed.Calls()[i];
        ASSERT_TRUE(a.Kind == b.Kind && a.Page == b.Page && a.X1 == b.X1 && a.Y1 == b.Y1
            && a.X2 == b.X2 && a.Y2 == b.Y2 && a.Text == b.Text)
            << "call " << i << " " << a.Text << " / " << b.Text;
    }
}

} // namespace
