// Textbook verification examples: each quantity with its reference value, the program's value,
// the difference and the tolerance it must stay within.
#pragma once

#include <string>
#include <vector>

namespace pendrake {

struct VerificationExample {
    std::string Name;
    std::string Source; // where the reference value comes from
    double Reference = 0;
    double Program = 0;
    double Tolerance = 0; // absolute, in the unit of the quantity
    std::string Unit;

    double Difference() const { return Program - Reference; }
    bool Passes() const;
};

std::vector<VerificationExample> RunVerificationExamples();

// One line per example, fixed columns.
std::string VerificationText(const std::vector<VerificationExample>& examples);

// The docs/verification.md page: a short introduction and the table.
std::string VerificationMarkdown(const std::vector<VerificationExample>& examples);

} // namespace pendrake
