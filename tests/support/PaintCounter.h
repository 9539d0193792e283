// Counts the paint events a widget receives (or events of another type,
// such as a window's paint passes, QEvent::UpdateRequest), to show what a
// change repaints and when.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QWidget>

#include <algorithm>

class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget, QEvent::Type type = QEvent::Paint) : m_type(type)
    {
        widget->installEventFilter(this);
    }
    int count = 0;
    // The height of the tallest area one paint event repainted.
    int tallest = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        if (event->type() == QEvent::Paint)
            tallest = std::max(tallest,
                               static_cast<QPaintEvent *>(event)->region().boundingRect().height());
        return false;
    }

private:
    QEvent::Type m_type;
};
