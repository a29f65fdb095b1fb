// The print job: which sections the engineer chose, the analysis runs made before them, and the
// packing of the half-page sections two to a sheet in their fixed order. Used alike by the
// print dialog of the desktop program and by pendrake-cli's report command.
#pragma once

#include "report/PageFramework.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pendrake::report {

// The chosen sections, one check box value each (0 unchecked, 1 checked), in the dialog's
// order. Kept for the whole session, never stored in the project file.
struct PrintOptions {
    int16_t PrintDimensions = 0;
    int16_t PrintLoads = 0;
    int16_t PrintProperties = 0;
    int16_t PrintStability = 0;
    int16_t PrintReactions = 0;
    int16_t PrintConcrete = 0;
    // The calculation sheet after the other sections: its own check box, off unless chosen, so
    // that choosing "all" of the six above prints the report as it always was.
    int16_t PrintSheet = 0;

    // By check box index 0..5.
    int16_t& Option(int index);
    int16_t Option(int index) const;
    bool operator==(const PrintOptions&) const = default;
};

inline constexpr int PrintOptionCount = 6;
// Captions of the six check boxes, by index.
inline constexpr std::array<std::string_view, PrintOptionCount> PrintOptionCaption
    = { "&Dimensions", "&Loads", "&Properties", "&Stability analysis", "&Reactions",
          "&Concrete design" };
// Caption of the calculation sheet's check box.
inline constexpr std::string_view SheetOptionCaption = "Calculation s&heet";
// Names of the options on the command line, by index.
inline constexpr std::array<std::string_view, PrintOptionCount> PrintOptionName
    = { "dimensions", "loads", "properties", "stability", "reactions", "concrete" };

// Every half-page section of the report, in the order they print.
enum class ReportSection : int16_t {
    Dimensions,
    Loads,
    Properties,
    Stability,
    Reactions,
    Concrete1, // bending moments
    Concrete2, // shearing forces
    Concrete3, // normal forces
    Concrete4, // design table
    Sheet, // the calculation sheet, one entry per half page it fills
};

// The routines that print one section each into the half page ctx.HalfPageSlot. The job calls
// BeginSection through them: each routine draws its own frame.
struct SectionPrinters {
    std::function<void(ReportContext&)> Dimensions;
    std::function<void(ReportContext&)> Loads;
    std::function<void(ReportContext&)> Properties;
    std::function<void(ReportContext&)> Stability;
    std::function<void(ReportContext&)> Reactions;
    std::function<void(ReportContext&)> Concrete1;
    std::function<void(ReportContext&)> Concrete2;
    std::function<void(ReportContext&)> Concrete3;
    std::function<void(ReportContext&)> Concrete4;
    // The calculation sheet: the half pages it fills on this job's pages, and one of them.
    std::function<int(ReportContext&)> SheetHalfPages;
    std::function<void(ReportContext&, int half)> Sheet;
};

// What the job tells the window showing it, and how the window stops it.
struct PrintJobHooks {
    // The progress label: "Printing dimensions", "Printing loads" ...
    std::function<void(const std::string&)> OnLabel;
    // Asked before every section; true gives the job up there.
    std::function<bool()> CancelRequested;
};

struct PlacedSection {
    ReportSection Section = ReportSection::Dimensions;
    int16_t Page = 1; // sheet number
    int16_t Slot = 0; // 0 upper half, 1 lower
};

struct PrintJobResult {
    std::vector<PlacedSection> Placed;
    int16_t Sheets = 0; // sheets of the document (0 when nothing was printed)
    bool Cancelled = false; // the document was given up
    // Texts of the document's stability run when the Stability section printed, each once, in
    // order, followed by the printer errors that no OnPrinterError took.
    std::vector<std::string> Messages;
};

// The dialog's rule on an unstable wall: Reactions and Concrete design unchecked.
PrintOptions RestrictToStable(PrintOptions options, bool stable);

// The sections the options print and where, given whether the concrete sections will print
// (the wall is stable when the job reaches them). Sheets counted as the job will count them.
// sheetHalfPages is the number of half pages the calculation sheet fills when it is chosen.
PrintJobResult PlanPrintJob(
    const PrintOptions& options, bool concreteStable, int sheetHalfPages = 0);

// The job: SetupPage, the chosen sections in fixed order two to a sheet with the footer on
// every sheet, no empty last sheet, the document ended (or aborted when cancelled). PageCount
// is counted before the first section, so "&NPAGES" prints the real total.
PrintJobResult RunPrintJob(ReportContext& ctx, const PrintOptions& options,
    const SectionPrinters& printers, const PrintJobHooks& hooks = {});

// The report sections of the program (Dimensions to Concrete 4/4).
SectionPrinters StandardSectionPrinters();

} // namespace pendrake::report
