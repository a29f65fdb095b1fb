// Start-up font choice over the installed font families.
#include "ui/FontChoice.h"

#include <QFontDatabase>

#include <initializer_list>

namespace pendrake::ui {

namespace {

// The list's own spelling of name, or an empty string when it is not there.
QString Find(const QStringList& families, const QString& name)
{
    for (const QString& family : families) {
        if (family.compare(name, Qt::CaseInsensitive) == 0)
            return family;
    }
    return {};
}

} // namespace

FontChoice ChooseFonts(const QStringList& families)
{
    FontChoice choice;
    // Where Arial is missing (most Linux desktops), Liberation Sans has Arial's advance widths,
    // so right-aligned report columns stay where they were laid out.
    for (const char* name : { "Arial", "Liberation Sans", "Times New Roman", "Courier New" }) {
        const QString found = Find(families, QString::fromLatin1(name));
        if (!found.isEmpty()) {
            choice.TextFont = found.toStdString();
            break;
        }
    }
    if (choice.TextFont.empty() && !families.isEmpty())
        choice.TextFont = families.constFirst().toStdString();
    const QString symbol = Find(families, QStringLiteral("Symbol"));
    choice.GreekFont = symbol.isEmpty() ? choice.TextFont : symbol.toStdString();
    return choice;
}

FontChoice ChooseInstalledFonts()
{
    return ChooseFonts(QFontDatabase::families());
}

} // namespace pendrake::ui
