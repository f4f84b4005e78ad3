#include "platform/accessiblenames.h"

#include <QLabel>
#include <QWidget>

namespace AccessibleNames {

QString spokenCaption(const QString &caption)
{
    QString spoken;
    spoken.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        // "&&" stands for one "&" shown; a single "&" only marks the accelerator.
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&'))
                spoken.append(caption.at(++i));
            continue;
        }
        spoken.append(caption.at(i));
    }
    spoken = spoken.trimmed();
    while (spoken.endsWith(QLatin1Char(':')))
        spoken = spoken.chopped(1).trimmed();
    return spoken;
}

void setCaption(QWidget *control, QLabel *caption)
{
    caption->setBuddy(control);
    control->setAccessibleName(spokenCaption(caption->text()));
}

void setName(QWidget *control, const QString &name, const QString &description)
{
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

} // namespace AccessibleNames
