// pendrake-cli: the wall engine without windows. Reads a project file (or starts from a new
// default project), runs one command and writes JSON to stdout or a file named by -o.
#include "cli/Commands.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    using namespace pendrake::cli;
    try {
        const ParsedArguments args = ParseArguments(argc, argv);
        if (!args.Error.empty()) {
            std::cerr << "pendrake-cli: " << args.Error << "\n" << UsageText;
            return ExitUsage;
        }
        return RunCommand(args, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "pendrake-cli: " << e.what() << "\n";
        return ExitFailure;
    }
}
