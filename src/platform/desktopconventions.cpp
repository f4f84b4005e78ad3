#include "platform/desktopconventions.h"

#include "platform/frenchconventions.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

namespace {

const QLatin1String StandIn("Liberation Sans");

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
    const bool designedFor = family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0
                             || family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0;
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
    const QString standIn = StandIn;
    for (const QString &family : {QStringLiteral("Arial"), QStringLiteral("MS Sans Serif")}) {
        if (!QFont::substitutes(family).contains(standIn, Qt::CaseInsensitive))
            QFont::insertSubstitution(family, standIn);
    }
}

void applyDesktopConventions()
{
    QLocale::setDefault(frenchLocale(QLocale::system()));
    installFontSubstitutes();
}
