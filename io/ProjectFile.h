// The project file (.pdi): every input of a project in a fixed little-endian binary layout, its
// atomic writer, and its reader for the current and the two earlier layouts.
#pragma once

#include "model/Project.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pendrake {

inline constexpr std::string_view ProjectFileExtension = "pdi";

// No file the program has ever written comes near this size; anything larger is not a project.
inline constexpr std::size_t MaxProjectFileSize = 1 << 20;

struct FileStatus {
    bool Ok = false;
    std::string Message; // why the read or write failed, ready for the warning box
};

// The block of analysis results that old files carry after the trailer marker -1, in the file's
// order. The program recomputes every result, so the block is only handed to a caller that asks
// for it. Tables numbered from 1 keep index 0 unused.
struct LegacyResults {
    int16_t Stable = 0;
    std::array<float, 8> WaterPressure {}; // load cases 1..7
    std::array<float, 8> WaterArm {};
    std::array<float, 8> WaterLevel {};
    float WaterPressureMax = 0;
    std::array<float, 14> DeadForce {}; // pieces 1..13
    std::array<float, 14> DeadArm {};
    std::array<float, 19> SeismicForce {}; // 1..18
    std::array<float, 19> SeismicLevel {};
    std::array<float, 19> SeismicArm {};
    int16_t SlopeAdjusted = 0;
    std::array<float, 4> SoilPressure {}; // 1..3
    std::array<float, 4> SoilLevel {};
    std::array<float, 4> SoilArm {};
    float KaStatic = 0;
    float KaeIncrement = 0;
    float KaeIncrementCopy = 0;
    float SoilPressureMax = 0;
    // The stability sums and base checks, TotalMoment first and the value after BaseSpan last.
    std::array<float, 22> StabilitySums {}; // 1..21
    std::array<float, 4> SectionMoment {}; // sections 1..3
    std::array<float, 4> SectionShear {};
    std::array<float, 4> SectionNormal {};
    using ComboTable = std::array<std::array<float, 13>, 4>; // [section 1..3][combination 1..12]
    ComboTable ComboMoment {};
    ComboTable ComboShear {};
    ComboTable ComboNormal {};
    std::array<float, 4> EnvMomentPos {}; // sections 1..3
    std::array<float, 4> EnvMomentNeg {};
    std::array<float, 4> EnvShear {};
    std::array<float, 4> EnvNormalPos {};
    std::array<float, 4> EnvNormalNeg {};
    std::array<float, 4> EnvShearNormal {};
    std::array<float, 4> EnvMomentZ {};
    std::array<float, 4> EnvNormalZ {};
    float UnnamedResult = 0; // one f32 the old program stored between the envelope and the rows
    std::array<float, 7> ReinHeight {}; // design rows 1..6
    std::array<float, 7> ReinDia {};
    std::array<float, 7> ReinPitch {};
    std::array<float, 7> ReinAs {};
    std::array<float, 7> ReinAsReq {};
    std::array<float, 7> ReinRho {};
    std::array<float, 7> ReinRhoCopy {}; // the old program stored ReinRho twice
    std::array<float, 7> ReinMoment {};
    std::array<float, 4> ReinShear {}; // shear checks 1..3
    std::array<float, 4> ReinShearNormal {};
    std::array<float, 7> ReinNormal {}; // design rows 1..6
    std::array<float, 7> ReinMomentCap {};
    std::array<float, 4> ReinShearCap {}; // shear checks 1..3
    std::array<float, 7> ReinMomentZ {}; // design rows 1..6
    std::array<float, 7> ReinNormalZ {};
    float RhoBalanced = 0;
    float RhoMin = 0;
    std::array<float, 7> ReinRhoReq43 {}; // design rows 1..6
    std::array<float, 7> ReinZ {};
    float ZMax = 0;
};

// Size of the legacy results block on disk: two i16 and 374 f32.
inline constexpr std::size_t LegacyResultsSize = 2 * 2 + 374 * 4;

// The bytes of the project file for the input fields of `project`. Returns an empty vector and
// sets *problem (e.g. `the project title holds the character "✓" (U+2713), which a project
// file cannot store`) when a text cannot be written in the file's code page.
std::vector<uint8_t> ProjectFileBytes(const Project& project, std::string* problem);

// Reads the input fields of a project file held in memory into `project`. All or nothing: on
// failure `project` (and *legacy) stay exactly as they were and Message names `fileName` and
// what is wrong. Fields an older layout lacks keep the values `project` held. When `legacy`
// is given it receives the legacy results block, or nullopt for a file without one.
FileStatus ParseProjectFile(std::span<const uint8_t> bytes, std::string_view fileName,
    Project& project, std::optional<LegacyResults>* legacy = nullptr);

class FileWriteSteps;

// Saves `project` to path as WriteFileAtomically does: the previous version keeps the name until
// the new one is complete on the disk, so a failed save (a full disk, a removed stick) leaves it
// byte for byte and no other file behind. A text that cannot be written refuses the save before
// anything on disk changes. On failure Message names the file and gives the system's reason.
FileStatus WriteProjectFile(const std::string& path, const Project& project);
// The same through the given system calls, so that a test can make one of them fail.
FileStatus WriteProjectFile(const std::string& path, const Project& project, FileWriteSteps& steps);

// Opens path as by ParseProjectFile. The caller starts from MakeNewProject so that fields an
// older file lacks hold their defaults.
FileStatus ReadProjectFile(
    const std::string& path, Project& project, std::optional<LegacyResults>* legacy = nullptr);

} // namespace pendrake
