// The stability window: the force sums about the toe, the eccentricities, the base pressures,
// shear friction and the anchors of one stability run, with the notes on what fails.
#pragma once

#include "analysis/Stability.h"
#include "model/Project.h"

#include <QDialog>
#include <QString>

class QGridLayout;
class QLabel;

namespace pendrake::ui {

// "#0.#0", or the infinity sign for a safety factor that could not be formed.
QString SafetyText(double factor);

// The midbase eccentricity e against a sixth of the base span (resultant within the middle third:
// no tension under the base) and against a third, e.g. "< B/6 = 1.22, < B/3 = 2.43".
QString EccentricityCheckText(double e, double baseSpan);

class StabilityWindow : public QDialog {
    Q_OBJECT
public:
    // Shows `results` of `project` as they are; greekFont sets the summation and stress letters.
    StabilityWindow(const Project& project, const StabilityResults& results,
        const QString& greekFont, QWidget* parent = nullptr);

private:
    // One row: caption (rich text), value right-aligned, unit. Value and unit labels are named
    // "lbl" + name and "lbl" + name + "Unit" so the next developer and the tests find them.
    QLabel* AddRow(
        const QString& caption, const QString& name, const QString& value, const QString& unit);
    void AddHeading(const QString& text);

    QString greekFont_;
    QGridLayout* grid_ = nullptr;
    int row_ = 0;
};

} // namespace pendrake::ui
