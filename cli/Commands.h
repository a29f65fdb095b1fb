// Commands of pendrake-cli: argument parsing and one function per command.
#pragma once

#include "model/Project.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pendrake::cli {

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1; // a file that cannot be read or written
inline constexpr int ExitUsage = 2;

// Font of a project made without a desktop: the report font a new project names.
inline constexpr std::string_view DefaultReportFont = "Arial";

extern const char* const UsageText;

struct ParsedArguments {
    std::string Command;
    std::string File; // empty: a new default project
    std::string Output; // -o
    std::string Units; // --units
    std::string Factors; // --factors D,L,H,F,T,I,E
    std::string Sections; // --sections a,b,...
    std::string View; // --view NAME
    std::string Format; // --format
    std::vector<std::pair<std::string, std::string>> Sets; // --set Name=value
    std::vector<std::string> Vary; // --vary NAME=A:B:C, in order
    std::vector<std::string> Targets; // --target NAME>=VALUE
    std::vector<std::string> Dists; // --dist NAME=KIND(A,B)
    std::string Sample; // --sample N
    std::string Csv; // --csv OUT.csv
    std::string Seed; // --seed S
    std::string Shard; // --shard I/N
    std::string Error; // non-empty: a usage error
};

ParsedArguments ParseArguments(int argc, const char* const* argv);

// A whole-text number, whatever the locale; false for anything else.
bool ParseNumber(std::string_view text, double& value);

// Runs the command; returns the process exit status.
int RunCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);

// The project the command works on: the file read into a new default record, or the new record.
// Returns false (with the reason in error) when the file cannot be read.
bool LoadProject(const std::string& file, Project& project, std::string& error);
// LoadProject for a command: the file of the arguments into p (p as given without one); a file
// that cannot be read is told on err ("pendrake-cli: <reason>") and gives false.
bool LoadOrReport(const ParsedArguments& args, Project& p, std::ostream& err);

} // namespace pendrake::cli
