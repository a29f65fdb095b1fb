// Analysis results as JSON under the record's field names, for the stability and calculator
// commands of pendrake-cli.
#pragma once

#include "analysis/Combinations.h"
#include "analysis/Stability.h"
#include "calculator/CalculatorComputation.h"
#include "cli/Json.h"

namespace pendrake::cli {

// One flat object of every load-case and stability result, with "messages" and "notes".
Json StabilityJson(const Project& project, const StabilityResults& results);

// {"CalculatorInput": {...}, "Ka", ..., "messages"}; a value the run did not form is null.
Json CalculatorJson(const CalculatorInput& input, const CalculatorResult& result);

// The combinations, the envelope and the section design, with per-row warnings and "messages".
Json DesignJson(const CombinationResults& results);

// A list of texts.
Json TextList(const std::vector<std::string>& texts);

} // namespace pendrake::cli
