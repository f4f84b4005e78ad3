#pragma once

// Sets the application's conventions once at start-up: the French locale (frenchconventions.h)
// as Qt's default, and the Windows fonts the windows are designed with ("Arial",
// "MS Sans Serif") drawn by their metric-compatible stand-in, Liberation Sans.
void applyDesktopConventions();
void installFontSubstitutes();
