// The start-up font choice over the font families installed on this machine.
#pragma once

#include "report/PageFramework.h"

#include <QStringList>

namespace pendrake::ui {

using report::FontChoice;

// report::ChooseFonts over Qt's list of families.
FontChoice ChooseFonts(const QStringList& families);

// The choice over the font families installed on this machine (those the printer offers too).
FontChoice ChooseInstalledFonts();

} // namespace pendrake::ui
