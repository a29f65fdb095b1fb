// The save that never leaves a half-written file under the project's name: a temporary sibling
// file, fsync, rename(2) over the old file, fsync of the folder.
#include "io/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace pendrake {

int FileWriteSteps::Create(const std::string& path, std::optional<mode_t> keepMode, int& fd)
{
    // A private file until its bits are set, so a file only its owner may read never shows
    // its contents to others on the way.
    fd = ::open(
        path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, keepMode ? S_IRUSR | S_IWUSR : 0666);
    if (fd < 0)
        return errno;
    // A file system without Unix permissions refuses fchmod; the save goes on with its own.
    if (keepMode)
        (void)::fchmod(fd, *keepMode);
    return 0;
}

int FileWriteSteps::Write(int fd, std::span<const uint8_t> bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return errno;
        if (put == 0)
            return EIO; // no progress and no reason: stop rather than loop for ever
        written += static_cast<std::size_t>(put);
    }
    return 0;
}

int FileWriteSteps::Flush(int fd)
{
    return ::fsync(fd) == 0 ? 0 : errno;
}

int FileWriteSteps::Rename(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

FileWriteSteps& SystemWriteSteps()
{
    static FileWriteSteps steps;
    return steps;
}

namespace {

namespace fs = std::filesystem;

std::string Failure(const std::string& path, const std::string& reason)
{
    return "Cannot save \"" + path + "\": " + reason + ".";
}

std::string Reason(int error)
{
    return std::generic_category().message(error);
}

// The file that a save to path replaces: the target of a symbolic link, so that the link stays
// a link; path itself otherwise (also for a link that points nowhere yet).
std::string TargetOf(const std::string& path)
{
    struct stat linkStat { };
    if (::lstat(path.c_str(), &linkStat) != 0 || !S_ISLNK(linkStat.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// Keeps the temporary name within the usual 255-byte limit of a file name.
constexpr std::size_t MaxNameBytesKept = 200;
constexpr int MaxCreateAttempts = 100;

// Creates a hidden sibling of target that no other file holds, named after it so that a
// leftover from a killed program tells whose it was.
int CreateTemporary(const fs::path& folder, const std::string& targetName,
    std::optional<mode_t> keepMode, FileWriteSteps& steps, std::string& tempPath, int& fd)
{
    static std::atomic<int> counter = 0;
    const std::string stem = "." + targetName.substr(0, MaxNameBytesKept);
    int error = EEXIST;
    for (int attempt = 0; attempt < MaxCreateAttempts && error == EEXIST; ++attempt) {
        const std::string name
            = stem + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
        tempPath = (folder / name).string();
        error = steps.Create(tempPath, keepMode, fd);
    }
    return error;
}

} // namespace

FileStatus WriteFileAtomically(
    const std::string& path, std::span<const uint8_t> bytes, FileWriteSteps& steps)
{
    const std::string target = TargetOf(path);
    std::optional<mode_t> keepMode;
    struct stat existing { };
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            return { false, Failure(path, Reason(EISDIR)) };
        keepMode = existing.st_mode & 07777;
    }

    const fs::path targetPath(target);
    fs::path folder = targetPath.parent_path();
    if (folder.empty())
        folder = ".";
    std::string tempPath;
    int fd = -1;
    if (const int error
        = CreateTemporary(folder, targetPath.filename().string(), keepMode, steps, tempPath, fd);
        error != 0)
        return { false, Failure(path, Reason(error)) };

    int error = steps.Write(fd, bytes);
    // The rename is what makes the new version the project: its bytes must be on the disk first,
    // or a power cut could leave the name on an empty file.
    if (error == 0)
        error = steps.Flush(fd);
    // Network file systems report a failed write only here.
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0)
        error = steps.Rename(tempPath, target);
    if (error != 0) {
        ::unlink(tempPath.c_str());
        return { false, Failure(path, Reason(error)) };
    }

    // The rename is a change to the folder; until the folder is flushed it may be undone.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return { true, {} }; // a folder that cannot be opened cannot be flushed either
    error = steps.Flush(folderFd);
    ::close(folderFd);
    // Some file systems cannot flush a folder at all (EINVAL); nothing more can be done there.
    if (error != 0 && error != EINVAL)
        return { false,
            Failure(path,
                "the new version is written, but the folder could not be flushed to the disk ("
                    + Reason(error) + ")") };
    return { true, {} };
}

} // namespace pendrake
