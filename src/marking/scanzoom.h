#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <vector>

// A piece of a scanned copy, enlarged to the widget's width, with its boxes outlined: those
// read (or chosen) in a thick frame. A click on a box says which.
class ScanZoom : public QWidget
{
    Q_OBJECT

public:
    explicit ScanZoom(QWidget *parent = nullptr);

    // `boxes` in the picture's pixels; `chosen` an index into them, -1 for none.
    void display(const QImage &picture, const std::vector<QRectF> &boxes, int chosen);
    // Several boxes chosen, by their indexes.
    void display(const QImage &picture, const std::vector<QRectF> &boxes, std::vector<int> chosen);
    void clear();

    bool isChosen(int index) const;

    // Where box `index` stands on the widget.
    QRectF boxOnWidget(int index) const;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

Q_SIGNALS:
    void boxClicked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    double scale() const;

    QImage m_picture;
    std::vector<QRectF> m_boxes;
    std::vector<int> m_chosen;
};
