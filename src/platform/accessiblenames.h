#pragma once

#include <QString>

class QLabel;
class QWidget;

// What screen readers are told about a control. A caption label becomes the buddy of the control
// it stands beside and lends it its text as the accessible name, so that the accelerator, the
// caption seen and the name heard are one and the same.
namespace AccessibleNames {

// The caption's text without its "&" accelerator marker, its trailing colon and blanks.
QString spokenCaption(const QString &caption);

// `caption` becomes the buddy label of `control`, whose accessible name is the caption's text.
void setCaption(QWidget *control, QLabel *caption);

// For a control without a caption beside it (a picture frame, a text box, a tool button).
void setName(QWidget *control, const QString &name, const QString &description = QString());

} // namespace AccessibleNames
