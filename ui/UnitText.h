// Unit labels and engine texts as Qt strings, shared by the input dialogs.
#pragma once

#include "model/Units.h"

#include <QString>

#include <algorithm>
#include <string_view>

namespace pendrake::ui {

// The classes of value a dialog box can hold; each prints the unit label of the project's system.
enum class UnitClass { None, Length, SmallLength, UnitWeight, Stress, Modulus, Angle };

// An engine text (UTF-8) as a Qt string.
inline QString Utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The label printed after a value of `unit` in unit system `system` (0 Metric, 1 SI, 2 British).
inline QString UnitCaption(UnitClass unit, int system)
{
    const auto s = std::size_t(std::clamp(system, int(Metric), int(British)));
    switch (unit) {
    case UnitClass::Length: return Utf8(LengthUnit[s]);
    case UnitClass::SmallLength: return Utf8(SmallLengthUnit[s]);
    case UnitClass::UnitWeight: return Utf8(UnitWeightUnit[s]);
    case UnitClass::Stress: return Utf8(StressUnit[s]);
    case UnitClass::Modulus: return Utf8(ModulusUnit[s]);
    case UnitClass::Angle: return Utf8(AngleUnit[s]);
    case UnitClass::None: break;
    }
    return {};
}

} // namespace pendrake::ui
