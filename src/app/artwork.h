#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's drawings are SVG resources. They are rendered here with QSvgRenderer, at the
// sizes the windows use, rather than through Qt's image and icon plug-ins, whose discovery
// would cost the start-up several milliseconds before the first window shows.
QPixmap artworkPixmap(const QString &resource, QSize size, qreal devicePixelRatio = 1.0);
// Drawn at each size when first painted.
QIcon artworkIcon(const QString &resource);
