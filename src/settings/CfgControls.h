// Builders for the settings dialog's controls, which sit at fixed places as
// the dialog was designed: a label beside its control, a number field.
#pragma once

#include <QString>

class QLabel;
class QSpinBox;
class QWidget;

QLabel *AddLabel(const QString &text, QWidget *parent, int x, int y, QWidget *buddy = nullptr);
QSpinBox *AddNumberField(QWidget *parent, int minimum, int maximum, int value);
