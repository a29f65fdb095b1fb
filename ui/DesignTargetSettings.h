// The safety factors the design search aims for, kept between sessions in the per-user settings
// store beside the recent files, never in the project file.
#pragma once

#include "search/Evaluation.h"

namespace pendrake::ui {

// Reads "Targets"/OverturningSafety..AnchorShearSafety. A missing key, or one that is no number
// of 0 or more, gives that target's default.
DesignTargets LoadDesignTargets();
// Writes all five, as decimal text.
void SaveDesignTargets(const DesignTargets& targets);

} // namespace pendrake::ui
