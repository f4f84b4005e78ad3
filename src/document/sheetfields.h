#pragma once

#include "document/questionfields.h"

#include <QString>

// What the question store needs of the question sheet. The real sheet is a window; tests use a
// plain struct.
class SheetFields
{
public:
    virtual ~SheetFields() = default;

    virtual QuestionFields fields() const = 0;
    // Keeps the right answer within 1 to 5, as the spin box does.
    virtual void setFields(const QuestionFields &fields) = 0;
    virtual void setQuestionLabel(const QString &label) = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual void clearPicture() = 0;
    // Shows the picture file; throws when it cannot be read.
    virtual void loadPicture(const QString &path) = 0;
    virtual void focusTitle() = 0;
    // A new questionnaire shows its title white on black, until a questionnaire is read from a
    // file or imported, which shows it plainly again.
    virtual void restyleTitle() = 0;
    virtual void plainTitle() {}
};
