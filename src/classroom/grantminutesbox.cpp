#include "classroom/grantminutesbox.h"

GrantMinutesBox::GrantMinutesBox(QWidget *parent) : QSpinBox(parent)
{
    setObjectName(QStringLiteral("GrantBox"));
    setRange(1, MaxMinutes);
    setValue(5);
    setPrefix(tr("+"));
    setSuffix(tr(" min"));
    setAccessibleName(tr("Minutes à accorder"));
}
