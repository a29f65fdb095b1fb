// The print job: the chosen sections in fixed order, two half-page sections to a sheet, with the
// analysis runs they need, the footer on every sheet and the sheets counted before printing.
#include "report/PrintJob.h"

#include "report/ReportSections.h"

#include <algorithm>
#include <memory>

namespace pendrake::report {

int16_t& PrintOptions::Option(int index)
{
    switch (index) {
    case 0: return PrintDimensions;
    case 1: return PrintLoads;
    case 2: return PrintProperties;
    case 3: return PrintStability;
    case 4: return PrintReactions;
    default: return PrintConcrete;
    }
}

int16_t PrintOptions::Option(int index) const
{
    return const_cast<PrintOptions*>(this)->Option(index);
}

PrintOptions RestrictToStable(PrintOptions options, bool stable)
{
    if (!stable) {
        options.PrintReactions = 0;
        options.PrintConcrete = 0;
    }
    return options;
}

namespace {

void AddOnce(std::vector<std::string>& to, const std::vector<std::string>& from)
{
    for (const std::string& m : from) {
        if (std::find(to.begin(), to.end(), m) == to.end())
            to.push_back(m);
    }
}

// The steps of the job. Without a context it only plans: it places the sections and counts
// the sheets exactly as printing will, taking the concrete verdict it is given.
class JobSteps {
public:
    JobSteps(ReportContext* ctx, const SectionPrinters* printers, const PrintJobHooks& hooks,
        int sheetHalfPages)
        : ctx_(ctx)
        , printers_(printers)
        , hooks_(hooks)
        , sheetHalfPages_(sheetHalfPages)
    {
    }

    PrintJobResult Run(const PrintOptions& o, bool plannedConcreteStable)
    {
        // 1.
        slot_ = -1;
        // 2, 3: Dimensions and Loads share the first sheet.
        bool firstSheetUsed = false;
        if (o.PrintDimensions) {
            slot_ = 0;
            Section(ReportSection::Dimensions, "Printing dimensions");
            slot_ = int16_t(1 - slot_);
            firstSheetUsed = true;
        }
        if (o.PrintLoads) {
            Section(ReportSection::Loads, "Printing loads");
            slot_ = int16_t(1 - slot_);
            firstSheetUsed = true;
        }
        // 4.
        if (firstSheetUsed && slot_ == 0)
            Eject();
        // 5 to 7.
        if (o.PrintProperties)
            SectionThenEjectWhenFull(ReportSection::Properties, "Printing properties");
        if (o.PrintStability) {
            if (ctx_ && !cancelled_)
                AddOnce(result_.Messages, ctx_->Stability.Messages);
            SectionThenEjectWhenFull(ReportSection::Stability, "Printing stability");
        }
        if (o.PrintReactions)
            SectionThenEjectWhenFull(ReportSection::Reactions, "Printing reactions");
        // 8. An unstable wall skips the concrete pages without a word.
        if (o.PrintConcrete) {
            if (plannedConcreteStable) {
                Label("Printing concrete design");
                for (ReportSection s : { ReportSection::Concrete1, ReportSection::Concrete2,
                         ReportSection::Concrete3, ReportSection::Concrete4 })
                    SectionThenEjectWhenFull(s, {});
            }
        }
        // The calculation sheet last, on as many half pages as it fills.
        if (o.PrintSheet) {
            Label("Printing calculation sheet");
            for (sheetHalf_ = 0; sheetHalf_ < sheetHalfPages_; ++sheetHalf_)
                SectionThenEjectWhenFull(ReportSection::Sheet, {});
        }
        if (cancelled_) {
            if (ctx_)
                ctx_->Canvas.Abort();
            result_.Cancelled = true;
            result_.Sheets = 0;
            return Finish();
        }
        // 9. The last sheet has only its upper half.
        if (slot_ == 1)
            Footer();
        // 10. An ejection just before the end started no sheet: none is left empty.
        result_.Sheets
            = result_.Placed.empty() ? int16_t(0) : int16_t(page_ - (newPagePending_ ? 1 : 0));
        if (ctx_)
            ctx_->Canvas.EndDocument();
        return Finish();
    }

private:
    PrintJobResult Finish()
    {
        if (ctx_)
            AddOnce(result_.Messages, ctx_->Messages);
        return result_;
    }

    void Label(const std::string& text)
    {
        if (ctx_ && hooks_.OnLabel && !cancelled_)
            hooks_.OnLabel(text);
    }

    // Prints one section into the current half (the upper one when none is chosen yet).
    void Section(ReportSection s, const std::string& label)
    {
        if (cancelled_)
            return;
        if (ctx_ && hooks_.CancelRequested && hooks_.CancelRequested()) {
            cancelled_ = true;
            return;
        }
        if (slot_ == -1)
            slot_ = 0;
        if (ctx_) {
            // The sheet an ejection asked for starts only now that something goes on it.
            if (newPagePending_ && !ctx_->Canvas.NewPage())
                ReportPrinterError(*ctx_, "The printer refused a new page.");
            newPagePending_ = false;
            if (!label.empty())
                Label(label);
            ctx_->HalfPageSlot = slot_;
            if (s == ReportSection::Sheet) {
                if (printers_->Sheet)
                    printers_->Sheet(*ctx_, sheetHalf_);
            } else if (const auto& print = Printer(s)) {
                print(*ctx_);
            }
        } else {
            newPagePending_ = false;
        }
        result_.Placed.push_back({ s, page_, slot_ });
    }

    void SectionThenEjectWhenFull(ReportSection s, const std::string& label)
    {
        if (cancelled_)
            return;
        Section(s, label);
        if (cancelled_)
            return;
        const int16_t was = slot_;
        slot_ = int16_t(1 - was);
        if (was == 1)
            Eject();
    }

    void Footer()
    {
        if (ctx_ && !cancelled_)
            PrintFooter(*ctx_);
    }

    // A cancelled job sends nothing more to the device.
    void Eject()
    {
        if (cancelled_)
            return;
        Footer();
        newPagePending_ = true;
        ++page_;
        if (ctx_)
            ctx_->PageNumber = page_;
    }

    const std::function<void(ReportContext&)>& Printer(ReportSection s) const
    {
        switch (s) {
        case ReportSection::Dimensions: return printers_->Dimensions;
        case ReportSection::Loads: return printers_->Loads;
        case ReportSection::Properties: return printers_->Properties;
        case ReportSection::Stability: return printers_->Stability;
        case ReportSection::Reactions: return printers_->Reactions;
        case ReportSection::Concrete1: return printers_->Concrete1;
        case ReportSection::Concrete2: return printers_->Concrete2;
        case ReportSection::Concrete3: return printers_->Concrete3;
        case ReportSection::Concrete4:
        case ReportSection::Sheet: break;
        }
        return printers_->Concrete4;
    }

    ReportContext* ctx_;
    const SectionPrinters* printers_;
    const PrintJobHooks& hooks_;
    PrintJobResult result_;
    int sheetHalfPages_ = 0;
    int sheetHalf_ = 0;
    int16_t slot_ = -1;
    int16_t page_ = 1;
    bool newPagePending_ = false;
    bool cancelled_ = false;
};

} // namespace

PrintJobResult PlanPrintJob(const PrintOptions& options, bool concreteStable, int sheetHalfPages)
{
    const PrintJobHooks none;
    return JobSteps(nullptr, nullptr, none, sheetHalfPages).Run(options, concreteStable);
}

PrintJobResult RunPrintJob(ReportContext& ctx, const PrintOptions& options,
    const SectionPrinters& printers, const PrintJobHooks& hooks)
{
    if (!SetupPage(ctx)) {
        ctx.Canvas.Abort();
        PrintJobResult failed;
        failed.Cancelled = true;
        failed.Messages = ctx.Messages;
        return failed;
    }
    ctx.HalfPageSlot = -1;
    // &NPAGES needs the total before the first sheet: the concrete pages depend on whether the
    // combinations leave the wall stable.
    const bool concreteStable = ctx.Combinations.Stable;
    const int sheetHalves
        = options.PrintSheet && printers.SheetHalfPages ? printers.SheetHalfPages(ctx) : 0;
    ctx.PageCount = PlanPrintJob(options, concreteStable, sheetHalves).Sheets;
    return JobSteps(&ctx, &printers, hooks, sheetHalves).Run(options, concreteStable);
}

SectionPrinters StandardSectionPrinters()
{
    SectionPrinters s;
    s.Dimensions = PrintDimensionsSection;
    s.Loads = PrintLoadsSection;
    s.Properties = PrintPropertiesSection;
    s.Stability = PrintStabilitySection;
    s.Reactions = PrintReactionsSection;
    s.Concrete1 = [](ReportContext& ctx) { PrintConcreteSection(ctx, 1); };
    s.Concrete2 = [](ReportContext& ctx) { PrintConcreteSection(ctx, 2); };
    s.Concrete3 = [](ReportContext& ctx) { PrintConcreteSection(ctx, 3); };
    s.Concrete4 = [](ReportContext& ctx) { PrintConcreteSection(ctx, 4); };
    // The lines are wrapped once per job, when the job counts its sheets.
    auto lines = std::make_shared<std::vector<std::string>>();
    s.SheetHalfPages = [lines](ReportContext& ctx) {
        *lines = SheetPrintLines(ctx);
        return report::SheetHalfPages(ctx, *lines);
    };
    s.Sheet = [lines](ReportContext& ctx, int half) { PrintSheetSection(ctx, *lines, half); };
    return s;
}

} // namespace pendrake::report
