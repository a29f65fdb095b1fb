// Test support for the project file: the golden files with the projects they hold, a field-wise
// comparison of two records, the float inputs by name, temporary folders.
#pragma once

#include "model/Project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace pendrake::test {

// A golden file: its name under tests/data, its bytes there, and the project a reader must make
// of it (starting from MakeNewProject("Arial")).
struct GoldenFile {
    std::string Name;
    std::vector<uint8_t> Bytes;
    Project Expected;
    // An old layout, written back in the current one; the others are written back as they are.
    bool Legacy = false;
};

inline void PrintTo(const GoldenFile& golden, std::ostream* os)
{
    *os << golden.Name;
}

std::vector<GoldenFile> GoldenFiles();
GoldenFile Golden(std::string_view name);
std::filesystem::path GoldenPath(std::string_view name);
std::vector<uint8_t> ReadBinaryFile(const std::filesystem::path& path);
void WriteBinaryFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// The bytes the writer makes of the project; a project it refuses fails the test.
std::vector<uint8_t> FileBytes(const Project& project);

// Every field of the two records, runtime state included; floats are compared bit for bit.
::testing::AssertionResult SameProject(const Project& expected, const Project& actual);

// Every float input of the record by name, the line loads up to the count and the bars
// included, for comparisons with a tolerance.
std::vector<std::pair<std::string, float>> FloatInputs(const Project& project);

// A project whose every input differs from the defaults, all texts plain ASCII.
Project EveryFieldChanged();

// A fresh folder per test, removed with everything in it afterwards.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern
            = (std::filesystem::path(::testing::TempDir()) / "pendrake-io-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string PathIn(std::string_view name) const { return (dir_ / name).string(); }
    // The names of everything in the folder, hidden files too, sorted.
    std::vector<std::string> FileNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path dir_;
};

} // namespace pendrake::test
