#pragma once

#include <QWidget>

// The window shown while the program creates its windows: yellow, with an olive raised panel,
// the program's picture at the left and its name and version at the right.
class TSplash : public QWidget
{
    Q_OBJECT

public:
    explicit TSplash(QWidget *parent = nullptr);

    // Shows the window centred on the screen and paints it at once, before the event loop runs.
    void showAndPaint();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void createLabels();
};
