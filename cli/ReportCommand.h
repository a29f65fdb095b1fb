// pendrake-cli report: the printed report of a project as a PDF on A4, with the same sections,
// order and page packing as the print command of the desktop program.
#pragma once

#include "cli/Commands.h"

#include <iosfwd>
#include <string>

namespace pendrake::cli {

// `report [FILE] -o OUT.pdf [--sections dimensions,loads,properties,stability,reactions,
// concrete]` (default: all six). Writes the PDF and, on stdout, a JSON object with the output
// path, the sheets, the sections printed and the analysis messages. Exit status 0, 1 (the
// project cannot be read, the PDF cannot be written, nothing to print), 2 (usage).
int RunReportCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);

// `drawing [FILE] --view NAME -o OUT.svg|OUT.png|OUT.pdf`: one view of the main window's
// drawing, as the window draws it, without a display. On stdout a JSON object with the output
// path, the view and the messages. Exit status 0, 1 (the project cannot be read, the file
// cannot be written, the reactions of a wall that is not stable), 2 (usage).
int RunDrawingCommand(const ParsedArguments& args, std::ostream& out, std::ostream& err);

} // namespace pendrake::cli
