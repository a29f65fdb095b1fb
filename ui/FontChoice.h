// The fonts chosen once at start-up: the text font of the report and the font its Greek
// letters are set in.
#pragma once

#include <QStringList>

#include <string>

namespace pendrake::ui {

struct FontChoice {
    std::string TextFont;
    std::string GreekFont;
};

// TextFont: "Arial" when installed; else its metric twin "Liberation Sans", which keeps the
// report's text widths; else "Times New Roman", "Courier New", the first family listed.
// GreekFont: "Symbol" when installed, else TextFont. Names are matched without regard to case
// and reported as the list spells them.
FontChoice ChooseFonts(const QStringList& families);

// The choice over the font families installed on this machine (those the printer offers too).
FontChoice ChooseInstalledFonts();

} // namespace pendrake::ui
