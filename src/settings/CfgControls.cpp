#include "settings/CfgControls.h"

#include <QLabel>
#include <QSpinBox>

QLabel *AddLabel(const QString &text, QWidget *parent, int x, int y, QWidget *buddy)
{
    auto *label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

QSpinBox *AddNumberField(QWidget *parent, int minimum, int maximum, int value)
{
    auto *field = new QSpinBox(parent);
    field->setRange(minimum, maximum);
    field->setValue(value);
    return field;
}
