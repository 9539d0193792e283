// Counts the paint events a widget receives (or events of another type,
// such as a window's paint passes, QEvent::UpdateRequest), to show what a
// change repaints and when.
#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget, QEvent::Type type = QEvent::Paint) : m_type(type)
    {
        widget->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};
