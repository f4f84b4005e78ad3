#include "platform/desktopconventions.h"

#include "platform/frenchconventions.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

namespace {

const QLatin1String StandIn("Liberation Sans");
// The Windows fonts the windows are designed with, which Liberation Sans stands in for.
const QLatin1String DesignedFamilies[] = {QLatin1String("Arial"), QLatin1String("MS Sans Serif")};

bool isInstalled(const QString &family)
{
    // The installed families do not change while the program runs: read them once.
    static const QStringList installed = QFontDatabase::families();
    const QString withFoundry = family + QLatin1String(" [");
    return std::any_of(installed.cbegin(), installed.cend(), [&](const QString &listed) {
        return listed.compare(family, Qt::CaseInsensitive) == 0 || listed.startsWith(withFoundry, Qt::CaseInsensitive);
    });
}

} // namespace

QString designFontFamily(const QString &family)
{
    const bool designedFor = std::any_of(std::cbegin(DesignedFamilies), std::cend(DesignedFamilies),
                                         [&](QLatin1String designed) { return family.compare(designed, Qt::CaseInsensitive) == 0; });
    if (!designedFor || isInstalled(family) || !isInstalled(StandIn))
        return family;
    return StandIn;
}

QFont designFont(const QString &family, int pixels, bool bold, bool italic)
{
    QFont font(designFontFamily(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void installFontSubstitutes()
{
    for (QLatin1String family : DesignedFamilies) {
        if (!QFont::substitutes(family).contains(StandIn, Qt::CaseInsensitive))
            QFont::insertSubstitution(family, StandIn);
    }
}

void applyDesktopConventions()
{
    QLocale::setDefault(frenchLocale(QLocale::system()));
    installFontSubstitutes();
}
