// The calculation sheet: every reported quantity derived step by step from the inputs, with the
// formula in symbols, the same formula with the numbers put in, and the result it gives.
#pragma once

#include "analysis/Combinations.h"
#include "analysis/Stability.h"
#include "model/Project.h"

#include <string>
#include <vector>

namespace pendrake {

// One line of the sheet. Value is NaN where the run formed no value. Field names the reported
// result the step arrives at as pendrake-cli's JSON spells it, with the record's own index in
// parentheses for a table entry (DeadForce(3), ComboMoment(7,2), Anchor(1).along); empty where
// no reported result belongs to the step.
struct SheetStep {
    std::string Label;
    std::string Symbol;
    std::string Formula;
    std::string Numbers;
    double Value = 0;
    std::string Unit;
    std::string Field;
};

struct SheetChapter {
    std::string Title;
    std::vector<SheetStep> Steps;
};

struct CalculationSheet {
    std::vector<SheetChapter> Chapters;
    std::vector<std::string> Messages;
};

// The sheet of one project from its service-load stability run and its combination run (the
// results the document holds). Each value is formed from the numbers of its own step by the
// formula the engine uses; the engine's own results are not copied into the values except where
// a step names a root the engine searched for (the compressed length), a combination's section
// force, or a force beyond a design cut: those are the section forces' own listed terms
// (SectionForceTrace), and their numbers lines put the inputs into the formula that gives them.
// A combination's section force is its factors times the loads beyond the cut at factor 1, plus
// the base pressure and anchor pull of that combination's own base.
CalculationSheet BuildCalculationSheet(
    const Project& project, const StabilityResults& stability, const CombinationResults& design);

// The sheet as plain text, chapter by chapter, one step a line block.
std::string SheetText(const CalculationSheet& sheet);

// The sheet as a self-contained HTML page: a table per chapter.
std::string SheetHtml(const CalculationSheet& sheet, const std::string& title);

// A number as the sheet's numbers lines write it: 7 significant digits, a negative number in
// parentheses so that the line reads as arithmetic.
std::string SheetNumber(double value);

} // namespace pendrake
