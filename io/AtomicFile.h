// Replacing a file on disk all at once: the new bytes go to a temporary file beside it, reach the
// disk, and only then take the file's name, so that a failure at any point leaves the old file.
#pragma once

#include "io/ProjectFile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <sys/types.h>

namespace pendrake {

// The system calls of a save, one per step, each returning 0 or the errno of its failure. The
// real steps are the POSIX calls; a test derives from this class to make one of them fail.
class FileWriteSteps {
public:
    virtual ~FileWriteSteps() = default;
    // Creates path, which must not exist yet, for writing. With keepMode the file gets exactly
    // those permission bits (those of the file it will replace), else 0666 less the umask.
    virtual int Create(const std::string& path, std::optional<mode_t> keepMode, int& fd);
    // Writes every byte, however many calls the system needs.
    virtual int Write(int fd, std::span<const uint8_t> bytes);
    // Flushes what was written to fd, a file or a folder, from the cache to the disk.
    virtual int Flush(int fd);
    virtual int Rename(const std::string& from, const std::string& to);
};

// The real steps.
FileWriteSteps& SystemWriteSteps();

// Replaces the file at path by bytes, or creates it: temporary file in the same folder, write,
// flush, rename over path, flush the folder. A symbolic link is written through to its target.
// Until the rename, any failure leaves path byte for byte as it was and removes the temporary
// file; the message reads "Cannot save "path": " and the system's reason. Only a failure to
// flush the folder comes after the new version has taken the name: it is reported as well, as
// the rename may not yet survive a power cut.
[[nodiscard]] FileStatus WriteFileAtomically(const std::string& path,
    std::span<const uint8_t> bytes, FileWriteSteps& steps = SystemWriteSteps());

} // namespace pendrake
