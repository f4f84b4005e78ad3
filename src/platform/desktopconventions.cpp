#include "platform/desktopconventions.h"

#include "platform/frenchconventions.h"

#include <QFont>
#include <QStringList>

void installFontSubstitutes()
{
    const QString standIn = QStringLiteral("Liberation Sans");
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
