#pragma once

#include <QString>
#include <QStringList>

// The file types of the picture-choice dialog, as the program's menus write them:
// pairs of caption and patterns separated by "|". The first, selected one keeps the caption
// authors have always read, "Tout (...)" with the seven historical patterns, yet shows every
// picture the program reads (.jpeg, PNG, SVG and WebP too); the newer formats follow as types
// of their own.
QString pictureOpenFilter();

// The same list in Qt's form. Each caption is kept as the author reads it, and its patterns
// follow in a last parenthesised group that the dialog hides; they match letter case
// insensitively ("*.jpg" becomes "*.[jJ][pP][gG]"), as pictures from Windows are often
// named CHAT.JPG.
QString qtPictureFilter(const QString &pipeFilter);

// A pattern such as "*.jpg" in its letter-case-blind form.
QString caseInsensitivePattern(const QString &pattern);
