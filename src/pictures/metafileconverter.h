#pragma once

#include "pictures/metafileheader.h"

#include <QByteArray>

// Turns a Windows metafile into SVG text that QtSvg draws: WMF through libwmf, EMF through
// libemf2svg. Both libraries read untrusted bytes, so the program runs this only inside its
// helper process (nelo-metafile-converter), where a crash or a runaway fails one picture.
MetafileError convertMetafileToSvg(const QByteArray &bytes, QByteArray &svg);
