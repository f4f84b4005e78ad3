#pragma once

#include <functional>

class QWidget;

// Runs act once, when widget is first shown (the show event: the window is made and framed, its
// layout done), then forgets it. Nothing happens while widget stays hidden.
void whenFirstShown(QWidget *widget, std::function<void()> act);
