// Runs the real pendrake-cli binary and collects what it said.
#pragma once

#include <cstdlib>
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

// Runs the companion with arguments already quoted for the shell, its two streams caught in
// files of this test process.
inline RunResult RunCli(const std::string& arguments)
{
    const std::string stem = std::filesystem::temp_directory_path().string() + "/pendrake-cli-"
        + std::to_string(::getpid());
    const std::string command = std::string("'") + PENDRAKE_CLI_PATH + "' " + arguments + " >'"
        + stem + ".out' 2>'" + stem + ".err'";
    const int raw = std::system(command.c_str());
    const auto take = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::string text { std::istreambuf_iterator<char>(in), {} };
        std::filesystem::remove(path);
        return text;
    };
    return { WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, take(stem + ".out"), take(stem + ".err") };
}

// Whether the companion was built with the report (Qt): only then has it report and drawing.
inline bool CliHasReport()
{
    return RunCli("--help").Out.find("\n  report") != std::string::npos;
}
