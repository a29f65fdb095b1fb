// libFuzzer harness for the project-file reader: any bytes are read or refused without a fault;
// a refused file leaves the project as it was, and a file read saves and reads back stably.
#include "io/ProjectFile.h"

#include <cstdlib>

using namespace pendrake;

namespace {

// Aborting makes libFuzzer keep the input that broke the rule.
void Require(bool rule)
{
    if (!rule)
        std::abort();
}

bool SameInputs(const Project& a, const Project& b)
{
    // The slots above the counts are compared too: a refused read must not touch them either.
    return ProjectFileBytes(a, nullptr) == ProjectFileBytes(b, nullptr)
        && a.LineLoads == b.LineLoads && a.ReinDia == b.ReinDia && a.ReinPitch == b.ReinPitch
        && a.ReinUserSet == b.ReinUserSet;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const Project before = MakeNewProject("Arial");
    Project project = before;
    std::optional<LegacyResults> legacy;
    const FileStatus status = ParseProjectFile({ data, size }, "fuzz.pdi", project, &legacy);
    if (!status.Ok) {
        Require(!status.Message.empty());
        Require(SameInputs(before, project));
        Require(!legacy.has_value());
        return 0;
    }

    // Whatever the reader accepts, the writer can save, and saving is a fixed point.
    std::string problem;
    const std::vector<uint8_t> saved = ProjectFileBytes(project, &problem);
    Require(!saved.empty());
    Project again = MakeNewProject("Arial");
    Require(ParseProjectFile(saved, "again.pdi", again).Ok);
    Require(ProjectFileBytes(again, nullptr) == saved);
    return 0;
}
