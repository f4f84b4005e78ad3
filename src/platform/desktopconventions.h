#pragma once

#include <QFont>
#include <QString>

// Sets the application's conventions once at start-up: the French locale (frenchconventions.h)
// as Qt's default, and the Windows fonts the windows are designed with ("Arial",
// "MS Sans Serif") drawn by their metric-compatible stand-in, Liberation Sans.
void applyDesktopConventions();
void installFontSubstitutes();

// The family to ask for where a window is designed with `family`: "Arial" and "MS Sans Serif"
// become Liberation Sans unless they are installed; any other family stays. Asking Qt for a
// family that is not installed makes it search fontconfig's fallbacks for every new font,
// which weighs on the start-up; the substitutes above then only serve texts that name a font.
QString designFontFamily(const QString &family);
// That family at `pixels` pixels high.
QFont designFont(const QString &family, int pixels, bool bold = false, bool italic = false);
