// What the dialog and window tests share: a project in a chosen unit system, its file bytes to
// compare before and after, finding controls by their object names, showing a window so that it
// takes the focus, typing as the engineer does, and counting the beeps and message boxes.
#pragma once

#include "io/ProjectFile.h"
#include "model/Project.h"
#include "model/Units.h"
#include "ui/Platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pendrake::ui::uitest {

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

// The text of label `name`_`index`.
inline QString Text(const QWidget& window, const char* name, int index)
{
    const auto* label = Find<QLabel>(
        window, QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index));
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

// Counts the beeps while it lives; silent again afterwards.
class BeepCounter {
public:
    BeepCounter()
    {
        SetBeepFunction([this] { ++count_; });
    }
    ~BeepCounter()
    {
        SetBeepFunction([] {});
    }
    BeepCounter(const BeepCounter&) = delete;
    BeepCounter& operator=(const BeepCounter&) = delete;
    [[nodiscard]] int Count() const { return count_; }

private:
    int count_ = 0;
};

struct Captured {
    QMessageBox::Icon Icon;
    QString Title;
    QString Text;
};

// Records every message box and beep instead of showing or sounding them. The test runner puts
// the failing functions back when the test ends.
class Capture {
public:
    Capture()
    {
        SetMessageFunction([this](QWidget*, QMessageBox::Icon icon, const QString& title,
                               const QString& text, QMessageBox::StandardButtons) {
            Messages.push_back({ icon, title, text });
            return QMessageBox::Ok;
        });
        SetBeepFunction([this] { ++Beeps; });
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    std::vector<Captured> Messages;
    int Beeps = 0;
};

} // namespace pendrake::ui::uitest
