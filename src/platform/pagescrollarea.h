#pragma once

#include <QScrollArea>

// Holds a window's page of controls laid out at their design places. When the room left to the
// page is smaller than its design size (a large scale factor, a small screen, a window made
// smaller), scroll bars appear instead of the controls being cut, and the control that takes
// the keyboard focus is scrolled into sight, whoever gave it the focus.
class PageScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    enum class Fit {
        GrowWithArea, // the page fills the area when there is room, never below its minimum size
        Centred,      // the page keeps its size and stands in the middle of a larger area
    };

    PageScrollArea(QWidget *page, Fit fit, QWidget *parent = nullptr);

private:
    void keepInSight(QWidget *focused);
};
