// Counts the paint events a widget receives, to show that a setter repaints
// only when its value changes.
#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};
