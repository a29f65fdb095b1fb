// Runs the real pendrake-cli binary and collects what it said.
#pragma once

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct RunResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs the companion with arguments already quoted for the shell.
inline RunResult RunCli(const std::string& arguments)
{
    namespace fs = std::filesystem;
    const fs::path errFile
        = fs::temp_directory_path() / ("pendrake-cli-err-" + std::to_string(::getpid()));
    const std::string command
        = std::string("'") + PENDRAKE_CLI_PATH + "' " + arguments + " 2>'" + errFile.string() + "'";
    RunResult r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return r;
    std::array<char, 4096> buf {};
    size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0)
        r.Out.append(buf.data(), n);
    const int raw = ::pclose(pipe);
    r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream err(errFile);
    r.Err.assign(std::istreambuf_iterator<char>(err), {});
    err.close();
    fs::remove(errFile);
    return r;
}

// Whether the companion was built with the report (Qt): only then has it report and drawing.
inline bool CliHasReport()
{
    return RunCli("--help").Out.find("\n  report") != std::string::npos;
}
