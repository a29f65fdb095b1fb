// The engineer's settings between runs: the four most recent project files, the start-up
// directory and the main window's placement, kept in the per-user settings store.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pendrake {

inline constexpr int RecentFileSlots = 4;

// The recent-file list, newest first. Slots 1..4 (index 0 unused); slots above Count are empty.
struct RecentFiles {
    std::array<std::string, RecentFileSlots + 1> File;
    int16_t Count = 0;

    bool operator==(const RecentFiles&) const = default;
};

// Puts path at the top of the list. An entry with exactly the same text moves up instead of
// appearing twice (a path differing only in letter case is another file on this system); the
// oldest entry falls off a full list. An empty path changes nothing.
void AddRecentFile(RecentFiles& recent, const std::string& path);

// Reads "Recent"/"File1".."File4". Empty slots between filled ones are closed up, so Count
// entries are always slots 1..Count.
RecentFiles LoadRecentFiles();
// Writes all four slots, the empty ones too.
void SaveRecentFiles(const RecentFiles& recent);

std::string LoadLastDir();
void SaveLastDir(const std::string& dir);

inline constexpr int WindowStateNormal = 0;
inline constexpr int WindowStateMaximised = 2;

// The main window's placement in twips: position of its frame, size of its client area, and
// whether it was maximised. The size is that of the normal (restored) window.
struct WindowPlacement {
    int State = WindowStateNormal;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool operator==(const WindowPlacement&) const = default;
};

// Reads the placement; a missing key takes the default: the top-left corner, the screen's size
// (given in twips), the normal state. Any state other than maximised reads as normal.
WindowPlacement LoadWindowPlacement(int screenWidthTwips, int screenHeightTwips);
void SaveWindowPlacement(const WindowPlacement& w);

} // namespace pendrake
