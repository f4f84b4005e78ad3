#pragma once

#include "printing/paperlayout.h"

#include <QCoreApplication>
#include <QStringList>

#include <memory>
#include <vector>

class Picture;
class PictureRegistry;
class QPagedPaintDevice;

// A questionnaire made ready for paper: its questions read from the document's lines, their
// pictures loaded once (one that cannot be read is left out silently, as in a run), then drawn
// page by page on a printer or a PDF writer.
class PaperTest
{
    Q_DECLARE_TR_FUNCTIONS(PaperTest)

public:
    // Pictures whose stored path leads nowhere are looked for in `pictureFolder`
    // (PictureLocation), as in a run.
    PaperTest(const QString &name, const QStringList &document, const PictureRegistry &pictures,
              const QString &pictureFolder = QString());
    ~PaperTest();

    const std::vector<PaperQuestion> &questions() const { return m_questions; }

    // Lays the pages out for the device's printable area, then draws them; returns the layout.
    PaperLayout print(QPagedPaintDevice &device, bool answerKey);

private:
    QString m_name;
    std::vector<PaperQuestion> m_questions;
    std::vector<std::unique_ptr<Picture>> m_pictures; // null where there is none
};
