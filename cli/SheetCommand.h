// The calculation sheet and the verification examples as pendrake-cli commands.
#pragma once

#include "cli/Commands.h"
#include "cli/Json.h"
#include "sheet/CalculationSheet.h"

#include <iosfwd>

namespace pendrake::cli {

// {"chapters": [{"title", "steps": [{"label", ...}]}], "messages": [...]}
Json SheetJson(const CalculationSheet& sheet);

// sheet [FILE] [--format text|html|json] [-o OUT]
int RunSheetCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);

// verify [--format text|markdown] [-o OUT]: exit 1 when a difference exceeds its tolerance.
int RunVerifyCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);

} // namespace pendrake::cli
