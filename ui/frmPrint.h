// The print options dialog: six check boxes for the report's sections, offered after a run of
// the load combinations has shown whether the wall is stable. The choices are kept for the
// session by the caller and written back however the dialog closes.
#pragma once

#include "analysis/Combinations.h"
#include "document/ProjectDocument.h"
#include "report/PrintJob.h"

#include <QDialog>

#include <array>

class QCheckBox;

namespace pendrake::ui {

class frmPrint : public QDialog {
    Q_OBJECT
public:
    // Shows `options` in the boxes and, on a wall that the document's combination run finds
    // unstable, says so and unchecks and disables Reactions and Concrete design. Closing the
    // dialog in any way stores the six boxes into `options`.
    frmPrint(
        const ProjectDocument& document, report::PrintOptions& options, QWidget* parent = nullptr);

    // True when the dialog was closed with "&Print".
    bool PrintConfirmed() const { return printConfirmed_; }
    // Whether the combination run found the wall stable.
    bool Stable() const { return stable_; }

protected:
    void done(int result) override;

private:
    void StoreBoxes();

    report::PrintOptions& options_;
    std::array<QCheckBox*, report::PrintOptionCount> boxes_ {};
    QCheckBox* sheetBox_ = nullptr;
    bool printConfirmed_ = false;
    bool stable_ = false;
    bool filling_ = true;
};

} // namespace pendrake::ui
