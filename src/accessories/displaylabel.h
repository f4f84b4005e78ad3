#pragma once

#include <QLabel>

// The calculator's display: the whole number is always in sight. Text too wide for the display
// is drawn in a smaller font, and past the smallest readable size it goes on over several
// lines; it is never cut, because a number missing its first digits reads as another number.
class DisplayLabel : public QLabel
{
    Q_OBJECT

public:
    explicit DisplayLabel(QWidget *parent = nullptr);

    // The font the current text is drawn in.
    QFont fittedFont() const;
    // Whether the current text needs more than one line even in the smallest font.
    bool wraps() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Fit
    {
        int pixelSize;
        bool wrapped;
    };
    Fit fit() const;
    int linesNeeded(const QFont &font) const;
};
