// The project record's input fields as JSON, under their own names.
#pragma once

#include "cli/Json.h"
#include "model/Project.h"

namespace pendrake::cli {

// Every input field in file order; `LineLoads` lists only the first `LineLoadCount` loads.
Json ProjectInputJson(const Project& project);

} // namespace pendrake::cli
