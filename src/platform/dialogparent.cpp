#include "platform/dialogparent.h"

#include <QApplication>

QWidget *dialogParent(QWidget *fallback)
{
    QWidget *modal = QApplication::activeModalWidget();
    return modal ? modal : fallback;
}
