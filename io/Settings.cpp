// The per-user settings store behind the recent files, the start-up directory and the window
// placement: QSettings, application "Pendrake", every value written as text.
#include "io/Settings.h"

#include <QSettings>
#include <QString>

#include <algorithm>

namespace pendrake {

namespace {

const QString AppName = QStringLiteral("Pendrake");
const QString RecentGroup = QStringLiteral("Recent");
const QString WindowGroup = QStringLiteral("Window");

// The platform's own per-user store (an .conf text file under the user's configuration
// directory on Linux), addressed by application name alone.
QSettings Store()
{
    return QSettings(AppName, AppName);
}

// Writes the changes to the store before the Save function returns, so that a program killed or
// crashing afterwards keeps them.
void WriteThrough(QSettings& s)
{
    s.sync();
}

QString FileKey(int slot)
{
    return QStringLiteral("File") + QString::number(slot);
}

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

// A number written as decimal text; anything unreadable is the default, as an absent key is.
int ReadInt(QSettings& s, const QString& key, int fallback)
{
    if (!s.contains(key))
        return fallback;
    bool ok = false;
    const int v = s.value(key).toString().trimmed().toInt(&ok);
    return ok ? v : fallback;
}

} // namespace

void AddRecentFile(RecentFiles& r, const std::string& path)
{
    if (path.empty())
        return;
    r.Count = std::clamp<int16_t>(r.Count, 0, RecentFileSlots);
    for (int i = 1; i <= r.Count; ++i) {
        if (r.File[i] == path) {
            for (int k = i; k < r.Count; ++k)
                r.File[k] = r.File[k + 1];
            r.File[r.Count].clear();
            --r.Count;
            break;
        }
    }
    for (int i = RecentFileSlots; i > 1; --i)
        r.File[i] = r.File[i - 1];
    r.File[1] = path;
    r.Count = static_cast<int16_t>(std::min(r.Count + 1, RecentFileSlots));
    for (int i = r.Count + 1; i <= RecentFileSlots; ++i)
        r.File[i].clear();
}

RecentFiles LoadRecentFiles()
{
    QSettings s = Store();
    s.beginGroup(RecentGroup);
    RecentFiles r;
    for (int slot = 1; slot <= RecentFileSlots; ++slot) {
        const std::string path = s.value(FileKey(slot)).toString().toStdString();
        // A hand-edited store may leave a gap; a menu item with an empty path would open nothing.
        if (!path.empty())
            r.File[++r.Count] = path;
    }
    return r;
}

void SaveRecentFiles(const RecentFiles& r)
{
    QSettings s = Store();
    s.beginGroup(RecentGroup);
    for (int slot = 1; slot <= RecentFileSlots; ++slot)
        s.setValue(FileKey(slot), slot <= r.Count ? Text(r.File[slot]) : QString());
    WriteThrough(s);
}

std::string LoadLastDir()
{
    QSettings s = Store();
    s.beginGroup(RecentGroup);
    return s.value(QStringLiteral("Dir")).toString().toStdString();
}

void SaveLastDir(const std::string& dir)
{
    QSettings s = Store();
    s.beginGroup(RecentGroup);
    s.setValue(QStringLiteral("Dir"), Text(dir));
    WriteThrough(s);
}

WindowPlacement LoadWindowPlacement(int screenWidthTwips, int screenHeightTwips)
{
    QSettings s = Store();
    s.beginGroup(WindowGroup);
    WindowPlacement w;
    w.Left = ReadInt(s, QStringLiteral("Left"), 0);
    w.Top = ReadInt(s, QStringLiteral("Top"), 0);
    w.Width = ReadInt(s, QStringLiteral("Width"), screenWidthTwips);
    w.Height = ReadInt(s, QStringLiteral("Height"), screenHeightTwips);
    w.State = ReadInt(s, QStringLiteral("WindowState"), WindowStateNormal) == WindowStateMaximised
        ? WindowStateMaximised
        : WindowStateNormal;
    return w;
}

void SaveWindowPlacement(const WindowPlacement& w)
{
    QSettings s = Store();
    s.beginGroup(WindowGroup);
    s.setValue(QStringLiteral("WindowState"),
        QString::number(
            w.State == WindowStateMaximised ? WindowStateMaximised : WindowStateNormal));
    s.setValue(QStringLiteral("Left"), QString::number(w.Left));
    s.setValue(QStringLiteral("Top"), QString::number(w.Top));
    s.setValue(QStringLiteral("Width"), QString::number(w.Width));
    s.setValue(QStringLiteral("Height"), QString::number(w.Height));
    WriteThrough(s);
}

} // namespace pendrake
