// The calculation sheet window and the user guide: what they show, find, copy and save.
#include "ui/SheetWindow.h"
#include "document/ProjectDocument.h"

#include "support/Widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

using namespace pendrake;
using namespace pendrake::ui;
using namespace pendrake::ui::uitest;

TEST(SheetWindow, ShowsFindsCopiesAndSavesTheSheet)
{
    Project p = MakeNewProject("Arial");
    p.SeismicCoef = 0.1f;
    const ProjectDocument document(p, {});
    SheetWindow window(document);
    auto* browser = Find<QTextBrowser>(window, QStringLiteral("txtSheet"));
    ASSERT_NE(browser, nullptr);
    const QString text = browser->toPlainText();
    // A step with its result's name.
    EXPECT_TRUE(text.contains(QStringLiteral("OverturningSafety")));

    EXPECT_TRUE(window.Find(QStringLiteral("Mononobe-Okabe")));
    EXPECT_EQ(browser->textCursor().selectedText(), QStringLiteral("Mononobe-Okabe"));
    EXPECT_FALSE(window.Find(QStringLiteral("no such words in the sheet")));

    QApplication::clipboard()->clear();
    browser->moveCursor(QTextCursor::Start);
    Button(window, "cmdCopy")->click();
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("KaStatic")));

    QTemporaryDir dir;
    const QString html = dir.filePath(QStringLiteral("sheet.html"));
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    SetFileDialogFunction([&](QWidget*, const FileDialogRequest& r) {
        EXPECT_TRUE(r.Save);
        return html;
    });
    Button(window, "cmdSaveAs")->click();
    SetFileDialogFunction({});
    QFile saved(html);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("<td>DeadForce(3)</td>"));
    ASSERT_TRUE(window.SaveTo(pdf));
    QFile written(pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5) == "%PDF-");
}

TEST(UserGuide, ShipsAsAResourceCoveringTheModelAndItsAssumptions)
{
    const QString guide = UserGuideHtml();
    for (const char* topic :
        { "TopWidth", "chains", "Sign", "load cases", "virtual back", "without the surcharge",
            "shear friction at the peak pressure", "ACI 318-99", "Calculation Sheet", "wall.svg" })
        EXPECT_TRUE(guide.contains(QString::fromLatin1(topic), Qt::CaseInsensitive)) << topic;
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/guide/wall.svg")));
}
