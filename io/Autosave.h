// The copy of an unsaved project kept in the user's data folder, so that a crash or a kill loses
// at most a few seconds of typing, and the schedule on which that copy is written.
#pragma once

#include "io/ProjectFile.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pendrake {

inline constexpr std::string_view AutosaveExtension = "autosave";

// One copy found in the folder.
struct AutosaveCopy {
    std::filesystem::path CopyPath;
    // The project file the changes belong to, absolute; empty for a project not saved yet.
    std::string OriginalPath;
    std::chrono::system_clock::time_point SavedAt;
};

// The autosave copies in one folder. A copy is never written over the project file: it lives in
// the folder given, named after the project file ("wall1.pdi.<hash of its path>.autosave",
// "Unnamed.autosave"), and holds the original path, the time and the project file's bytes.
class AutosaveStore {
public:
    explicit AutosaveStore(std::filesystem::path folder);

    // Writes (atomically) the copy of project for the file originalPath ("" when unnamed),
    // replacing the previous copy for that file; creates the folder when it is missing.
    [[nodiscard]] FileStatus Write(const Project& project, const std::string& originalPath,
        std::chrono::system_clock::time_point now = std::chrono::system_clock::now()) const;

    // Deletes the copy for originalPath, if there is one.
    void Remove(const std::string& originalPath) const;

    // The copies left in the folder, newest first. Files that are not readable copies are
    // passed over and left alone.
    [[nodiscard]] std::vector<AutosaveCopy> FindCopies() const;

    // Reads the project of a copy as ReadProjectFile does: all or nothing.
    [[nodiscard]] static FileStatus Read(const AutosaveCopy& copy, Project& project);

    [[nodiscard]] std::filesystem::path CopyPathFor(const std::string& originalPath) const;

private:
    std::filesystem::path folder_;
};

// "Recover the unsaved changes to wall1.pdi from 14:32?" in local time; a copy from another day
// than `now` also gives its date ("from 2024-05-03 14:32"), an unnamed project reads "[Unnamed]".
std::string RecoveryQuestion(const AutosaveCopy& copy,
    std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// While the project is modified, a copy is due every AutosavePeriod; an undoable step makes one
// due at once, but no sooner than AutosaveMinInterval after the previous copy (a step inside
// that interval is caught up when it ends, not dropped).
inline constexpr std::chrono::seconds AutosavePeriod { 60 };
inline constexpr std::chrono::seconds AutosaveMinInterval { 10 };

class AutosaveSchedule {
public:
    using Clock = std::chrono::steady_clock;
    explicit AutosaveSchedule(std::function<Clock::time_point()> now = Clock::now);

    // Whenever the project's Modified flag is set by other means than a step: saved, discarded,
    // opened, new (false), recovered from a copy (true).
    void SetModified(bool modified);
    // After each undoable step, its undo and its redo, with Modified as the step left it.
    void StepDone(bool modified);
    // After each attempt to write the copy, successful or not: a full disk is tried again at the
    // next due time, not on every tick.
    void CopyAttempted();

    [[nodiscard]] bool Due() const;
    // How long until a copy is due (zero when it is due now); nullopt while not modified.
    [[nodiscard]] std::optional<Clock::duration> TimeUntilDue() const;

private:
    std::function<Clock::time_point()> now_;
    bool modified_ = false;
    bool stepPending_ = false;
    Clock::time_point modifiedSince_ {};
    std::optional<Clock::time_point> lastCopy_;
};

} // namespace pendrake
