#pragma once

#include "pictures/pictureholder.h"

#include <QWidget>

// A question's picture for a class: as large as the space allows, never distorted, centred.
// A picture that cannot be loaded leaves the space empty: the question is still shown whole.
class ProportionalPicture : public QWidget
{
    Q_OBJECT

public:
    explicit ProportionalPicture(const PictureRegistry &registry, QWidget *parent = nullptr);

    // Loads the file; false (and nothing shown) when it cannot be loaded.
    bool load(const QString &path);
    void clear();
    bool isEmpty() const { return m_holder.isEmpty(); }

    // Where the picture is drawn, in widget coordinates.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PictureHolder m_holder;
};
