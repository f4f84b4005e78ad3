#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

// The sheet of personal codes the teacher prints and cuts: one slip per pupil, in the class
// list's order, with the pupil's name, the class, the questionnaire and the code in large
// letters, dashed lines to cut along. The codes exist nowhere else in clear.
class PersonalCodeSheet
{
    Q_DECLARE_TR_FUNCTIONS(PersonalCodeSheet)

public:
    struct Contents
    {
        QString className;
        QString questionnaire;  // its file name, as the teacher knows it
        QStringList pupils;
        QStringList codes;      // one per pupil
    };

    // Slips per page, for tests and for the layout.
    static int slipsPerPage(const QPagedPaintDevice &device);
    static int pageCount(const QPagedPaintDevice &device, int pupils);
    // Draws every page on `device`, from the first.
    static void paint(QPagedPaintDevice &device, const Contents &contents);
};
