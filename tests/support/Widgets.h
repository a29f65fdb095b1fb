// What the dialog and window tests share: a project in a chosen unit system, its file bytes to
// compare before and after, finding controls by their object names, showing a window so that it
// takes the focus, typing as the engineer does, answering the message boxes and file dialogs, and
// acting inside a modal window's own loop.
#pragma once

#include "io/ProjectFile.h"
#include "model/Project.h"
#include "model/Units.h"
#include "ui/MainWindow.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace pendrake::ui::uitest {

// The font every window test asks for: installed with the test machines' fonts.
inline constexpr const char* TestFont = "Liberation Sans";

// A new project switched to `system` as the main window's list does it.
inline Project ProjectIn(int16_t system)
{
    return SwitchUnitSystem(MakeNewProject("Arial"), system);
}

// Every input field as the project file holds it.
inline std::vector<uint8_t> Inputs(const Project& p)
{
    return ProjectFileBytes(p, nullptr);
}

template <class T = QWidget> T* Find(const QWidget& window, const QString& name)
{
    auto* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

inline QPushButton* Button(const QWidget& window, const char* name)
{
    return Find<QPushButton>(window, QString::fromLatin1(name));
}

// Control `name`_`index`, as the windows number the controls of their rows and columns.
template <class T = QLineEdit> T* At(const QWidget& window, const char* name, int index)
{
    return Find<T>(window, QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index));
}

// The text of label `name`_`index`.
inline QString Text(const QWidget& window, const char* name, int index)
{
    const auto* label = At<QLabel>(window, name, index);
    return label != nullptr ? label->text() : QString();
}

// Focus events only reach the boxes of an active window.
inline void ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// Replaces the box's text as the engineer would type it; the focus stays in the box.
inline void TypeInto(QLineEdit* box, const QString& text)
{
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

// Types as above and leaves the box with Tab, so that its check runs.
inline void TypeAndLeave(QLineEdit* box, const QString& text)
{
    TypeInto(box, text);
    QTest::keyClick(box, Qt::Key_Tab);
}

struct Captured {
    QMessageBox::Icon Icon;
    QString Title;
    QString Text;
    QMessageBox::StandardButtons Buttons;
};

// Records every message box and beep instead of showing or sounding them, and plays the
// engineer's part: each box takes the next of Answers (Ok once they are used up), each file
// dialog the next of Files (an empty entry cancels it; a dialog beyond them is a failure). The
// test runner puts the failing functions back when the test ends.
class Capture {
public:
    Capture()
    {
        SetMessageFunction([this](QWidget*, QMessageBox::Icon icon, const QString& title,
                               const QString& text, QMessageBox::StandardButtons buttons) {
            Messages.push_back({ icon, title, text, buttons });
            const auto answer = Answers.empty() ? QMessageBox::Ok : Answers.front();
            if (!Answers.empty())
                Answers.pop_front();
            return answer;
        });
        SetBeepFunction([this] { ++Beeps; });
        SetFileDialogFunction([this](QWidget*, const FileDialogRequest& request) {
            Requests.push_back(request);
            if (Files.empty())
                ADD_FAILURE() << "file dialog without an answer: " << request.Title.toStdString();
            const QString path = Files.empty() ? QString() : Files.front();
            if (!Files.empty())
                Files.pop_front();
            return path;
        });
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    std::deque<QMessageBox::StandardButton> Answers;
    std::deque<QString> Files;
    std::vector<Captured> Messages;
    std::vector<FileDialogRequest> Requests;
    int Beeps = 0;
};

// A main window as the program starts it, keeping copies of unsaved work in `autosaveFolder`.
inline std::unique_ptr<MainWindow> OpenMainWindow(const QString& autosaveFolder)
{
    StartupState startup;
    startup.Fonts = { TestFont, TestFont };
    auto window = std::make_unique<MainWindow>(startup, nullptr, autosaveFolder);
    window->resize(1000, 720);
    window->show();
    return window;
}

// Runs `act` on the modal window `name` once it is up, from inside its modal loop.
inline void WhenModalOpens(const char* name, std::function<void(QWidget*)> act)
{
    constexpr int PollMilliseconds = 5;
    constexpr int GiveUpAfterPolls = 2000;
    auto* timer = new QTimer;
    timer->setInterval(PollMilliseconds);
    auto polls = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, polls, name] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool open
            = modal != nullptr && modal->isVisible() && modal->objectName() == QLatin1String(name);
        if (!open && ++*polls <= GiveUpAfterPolls)
            return;
        timer->stop();
        timer->deleteLater();
        if (open)
            act(modal);
        else
            ADD_FAILURE() << name << " did not open";
    });
    timer->start();
}

} // namespace pendrake::ui::uitest
