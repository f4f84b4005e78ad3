#pragma once

#include <functional>

class QWidget;

// Runs act once, when widget is first shown (the show event: the window is made and framed, its
// layout done), then forgets it. Nothing happens while widget stays hidden.
void whenFirstShown(QWidget *widget, std::function<void()> act);

// Sizes widget to its contents when it first shows: text measured for a window that stays
// hidden would only slow the program's start.
void adjustSizeWhenShown(QWidget *widget);
