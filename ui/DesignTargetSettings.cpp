// The design targets in QSettings: application "Pendrake", group "Targets", one key per safety
// factor under its result field name, each value written as text.
#include "ui/DesignTargetSettings.h"

#include "ui/UnitText.h"

#include <QLocale>
#include <QSettings>
#include <QString>

#include <cmath>

namespace pendrake::ui {

namespace {

const QString AppName = QStringLiteral("Pendrake");
const QString TargetsGroup = QStringLiteral("Targets");

} // namespace

DesignTargets LoadDesignTargets()
{
    QSettings s(AppName, AppName);
    s.beginGroup(TargetsGroup);
    DesignTargets targets;
    for (int k = 0; k < SafetyCheckCount; ++k) {
        const QString key = Utf8(SafetyCheckName[size_t(k)]);
        if (!s.contains(key))
            continue;
        bool ok = false;
        const double v = s.value(key).toString().trimmed().toDouble(&ok);
        // A hand-edited store may hold anything; a target the dialog would refuse is not taken.
        if (ok && std::isfinite(v) && v >= 0)
            TargetOf(targets, static_cast<SafetyCheck>(k)) = v;
    }
    return targets;
}

void SaveDesignTargets(const DesignTargets& targets)
{
    QSettings s(AppName, AppName);
    s.beginGroup(TargetsGroup);
    for (int k = 0; k < SafetyCheckCount; ++k) {
        s.setValue(Utf8(SafetyCheckName[size_t(k)]),
            QString::number(TargetOf(targets, static_cast<SafetyCheck>(k)), 'g',
                QLocale::FloatingPointShortest));
    }
    // Kept even when the program is killed afterwards.
    s.sync();
}

} // namespace pendrake::ui
