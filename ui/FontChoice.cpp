// Start-up font choice over the installed font families.
#include "ui/FontChoice.h"

#include <QFontDatabase>

#include <string>
#include <vector>

namespace pendrake::ui {

FontChoice ChooseFonts(const QStringList& families)
{
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(families.size()));
    for (const QString& family : families)
        names.push_back(family.toStdString());
    return report::ChooseFonts(names);
}

FontChoice ChooseInstalledFonts()
{
    return ChooseFonts(QFontDatabase::families());
}

} // namespace pendrake::ui
