#pragma once

#include <QIcon>
#include <QStyle>

#include <functional>

class QAbstractButton;

// Gives button its icon when it is first shown, unless it has one by then. The style's standard
// pictures are searched for through every image plugin Qt has, file by file: the buttons of
// windows made at start-up and kept hidden need none of that before they show. (Not when they
// are polished: showing the main window polishes every window it owns, hidden or not.)
void setIconWhenShown(QAbstractButton *button, std::function<QIcon()> make);

// The style's standard picture `which`, given as above.
void setStandardIconWhenShown(QAbstractButton *button, QStyle::StandardPixmap which);
