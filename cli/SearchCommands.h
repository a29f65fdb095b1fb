// The design search commands of pendrake-cli: optimize (least concrete meeting the targets) and
// sweep (a parametric or Monte-Carlo study to CSV).
#pragma once

#include "cli/Commands.h"

#include <iosfwd>

namespace pendrake::cli {

int RunOptimizeCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);
int RunSweepCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);

} // namespace pendrake::cli
