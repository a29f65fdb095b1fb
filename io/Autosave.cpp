// Autosave copies: a small header (tag, time, original path) in front of the project file's own
// bytes, written atomically into the user's data folder; and the timing of those writes.
#include "io/Autosave.h"

#include "io/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <system_error>

namespace pendrake {

namespace {

namespace fs = std::filesystem;
using SystemClock = std::chrono::system_clock;

// Layout of a copy, little-endian: the tag, i64 seconds since 1970 (UTC), u32 length of the
// original path, the path in UTF-8, then the project file exactly as a save writes it.
constexpr std::string_view CopyTag = "PDAUTO1\n";
constexpr std::size_t TimeBytes = 8;
constexpr std::size_t LengthBytes = 4;
constexpr std::size_t HeaderBytes = CopyTag.size() + TimeBytes + LengthBytes;
constexpr std::size_t MaxOriginalPathBytes = 4096; // PATH_MAX on Linux
constexpr std::size_t MaxCopyBytes = HeaderBytes + MaxOriginalPathBytes + MaxProjectFileSize;
constexpr std::size_t MaxNameBytesKept = 200; // of the 255 a file name may have
constexpr std::string_view UnnamedCopyName = "Unnamed";
constexpr std::string_view UnnamedCaption = "[Unnamed]";
constexpr int BitsPerByte = 8;

void PutLittleEndian(std::vector<uint8_t>& out, uint64_t value, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (BitsPerByte * i)));
}

uint64_t GetLittleEndian(const std::vector<uint8_t>& in, std::size_t offset, std::size_t bytes)
{
    uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        value |= uint64_t { in[offset + i] } << (BitsPerByte * i);
    return value;
}

// 64-bit FNV-1a: the same on every machine and every build, unlike std::hash, so that a copy
// written by one run is found again by the next.
uint64_t StableHash(std::string_view text)
{
    constexpr uint64_t offsetBasis = 14695981039346656037ULL;
    constexpr uint64_t prime = 1099511628211ULL;
    uint64_t hash = offsetBasis;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= prime;
    }
    return hash;
}

std::string Absolute(const std::string& path)
{
    if (path.empty())
        return {};
    std::error_code ignored;
    const fs::path absolute = fs::absolute(path, ignored);
    return absolute.empty() ? path : absolute.lexically_normal().string();
}

bool ReadSmallFile(const fs::path& path, std::vector<uint8_t>& bytes)
{
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > MaxCopyBytes)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad() && bytes.size() <= MaxCopyBytes;
}

// The header of a copy; nullopt when the bytes are not a copy. *payload is where the project
// file's bytes begin.
std::optional<AutosaveCopy> ParseHeader(
    const std::vector<uint8_t>& bytes, const fs::path& copyPath, std::size_t* payload)
{
    if (bytes.size() < HeaderBytes || !std::equal(CopyTag.begin(), CopyTag.end(), bytes.begin()))
        return std::nullopt;
    const auto seconds = static_cast<int64_t>(GetLittleEndian(bytes, CopyTag.size(), TimeBytes));
    const std::size_t length = GetLittleEndian(bytes, CopyTag.size() + TimeBytes, LengthBytes);
    if (length > MaxOriginalPathBytes || bytes.size() < HeaderBytes + length)
        return std::nullopt;
    AutosaveCopy copy;
    copy.CopyPath = copyPath;
    const auto* path = reinterpret_cast<const char*>(bytes.data() + HeaderBytes);
    copy.OriginalPath.assign(path, length);
    copy.SavedAt = SystemClock::time_point { std::chrono::seconds { seconds } };
    if (payload != nullptr)
        *payload = HeaderBytes + length;
    return copy;
}

std::string LocalTimeText(SystemClock::time_point t, const char* format)
{
    const std::time_t seconds = SystemClock::to_time_t(t);
    std::tm local {};
    localtime_r(&seconds, &local);
    std::array<char, 32> text {};
    std::strftime(text.data(), text.size(), format, &local);
    return text.data();
}

} // namespace

AutosaveStore::AutosaveStore(std::filesystem::path folder)
    : folder_(std::move(folder))
{
}

std::filesystem::path AutosaveStore::CopyPathFor(const std::string& originalPath) const
{
    const std::string original = Absolute(originalPath);
    if (original.empty())
        return folder_ / (std::string(UnnamedCopyName) + "." + std::string(AutosaveExtension));
    // The hash tells apart two "wall1.pdi" in different folders.
    std::array<char, 17> hash {};
    std::snprintf(
        hash.data(), hash.size(), "%016llx", static_cast<unsigned long long>(StableHash(original)));
    const std::string name = fs::path(original).filename().string().substr(0, MaxNameBytesKept);
    return folder_ / (name + "." + hash.data() + "." + std::string(AutosaveExtension));
}

FileStatus AutosaveStore::Write(const Project& project, const std::string& originalPath,
    std::chrono::system_clock::time_point now) const
{
    const fs::path copyPath = CopyPathFor(originalPath);
    std::string problem;
    const std::vector<uint8_t> projectBytes = ProjectFileBytes(project, &problem);
    if (projectBytes.empty())
        return { false, "Cannot save \"" + copyPath.string() + "\": " + problem + "." };
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error)
        return { false, "Cannot save \"" + copyPath.string() + "\": " + error.message() + "." };

    const std::string original = Absolute(originalPath);
    std::vector<uint8_t> bytes(CopyTag.begin(), CopyTag.end());
    const auto seconds
        = std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
    PutLittleEndian(bytes, static_cast<uint64_t>(seconds), TimeBytes);
    PutLittleEndian(bytes, original.size(), LengthBytes);
    bytes.insert(bytes.end(), original.begin(), original.end());
    bytes.insert(bytes.end(), projectBytes.begin(), projectBytes.end());
    return WriteFileAtomically(copyPath.string(), bytes);
}

void AutosaveStore::Remove(const std::string& originalPath) const
{
    std::error_code ignored;
    fs::remove(CopyPathFor(originalPath), ignored);
}

std::vector<AutosaveCopy> AutosaveStore::FindCopies() const
{
    std::vector<AutosaveCopy> copies;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_, error)) {
        const fs::path& path = entry.path();
        // The temporary files of a write that was cut off begin with a dot.
        if (path.extension() != "." + std::string(AutosaveExtension)
            || path.filename().string().starts_with(".") || !entry.is_regular_file(error))
            continue;
        std::vector<uint8_t> bytes;
        if (!ReadSmallFile(path, bytes))
            continue;
        if (auto copy = ParseHeader(bytes, path, nullptr))
            copies.push_back(std::move(*copy));
    }
    std::sort(copies.begin(), copies.end(),
        [](const AutosaveCopy& a, const AutosaveCopy& b) { return a.SavedAt > b.SavedAt; });
    return copies;
}

FileStatus AutosaveStore::Read(const AutosaveCopy& copy, Project& project)
{
    const std::string name = copy.CopyPath.string();
    std::vector<uint8_t> bytes;
    if (!ReadSmallFile(copy.CopyPath, bytes))
        return { false, "Cannot read \"" + name + "\": the file cannot be read." };
    std::size_t payload = 0;
    if (!ParseHeader(bytes, copy.CopyPath, &payload))
        return { false, "Cannot read \"" + name + "\": it is not an autosave copy." };
    return ParseProjectFile(std::span<const uint8_t>(bytes).subspan(payload), name, project);
}

std::string RecoveryQuestion(const AutosaveCopy& copy, std::chrono::system_clock::time_point now)
{
    const std::string name = copy.OriginalPath.empty()
        ? std::string(UnnamedCaption)
        : fs::path(copy.OriginalPath).filename().string();
    const bool sameDay = LocalTimeText(copy.SavedAt, "%Y-%m-%d") == LocalTimeText(now, "%Y-%m-%d");
    const std::string when = LocalTimeText(copy.SavedAt, sameDay ? "%H:%M" : "%Y-%m-%d %H:%M");
    return "Recover the unsaved changes to " + name + " from " + when + "?";
}

AutosaveSchedule::AutosaveSchedule(std::function<Clock::time_point()> now)
    : now_(std::move(now))
{
}

void AutosaveSchedule::SetModified(bool modified)
{
    if (modified && !modified_)
        modifiedSince_ = now_();
    modified_ = modified;
    if (!modified)
        stepPending_ = false;
}

void AutosaveSchedule::StepDone(bool modified)
{
    SetModified(modified);
    stepPending_ = modified;
}

void AutosaveSchedule::CopyAttempted()
{
    lastCopy_ = now_();
    stepPending_ = false;
}

std::optional<AutosaveSchedule::Clock::duration> AutosaveSchedule::TimeUntilDue() const
{
    if (!modified_)
        return std::nullopt;
    // The period runs from the last copy of this modified spell, or from its start.
    const Clock::time_point periodStart
        = lastCopy_ && *lastCopy_ > modifiedSince_ ? *lastCopy_ : modifiedSince_;
    Clock::time_point due = periodStart + AutosavePeriod;
    if (stepPending_)
        due = std::min(due, lastCopy_ ? *lastCopy_ + AutosaveMinInterval : Clock::time_point {});
    return std::max(due - now_(), Clock::duration::zero());
}

bool AutosaveSchedule::Due() const
{
    const auto wait = TimeUntilDue();
    return wait && *wait == Clock::duration::zero();
}

} // namespace pendrake
