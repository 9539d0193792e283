// Time stamps of the key and mouse events being delivered.
#include "app/PressTime.h"

#include "platform/Platform.h"
#include "race/RaceTime.h"

#include <QCoreApplication>
#include <QInputEvent>
#include <utility>

PressTime::PressTime(QObject *parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

std::uint32_t PressTime::Tick() const
{
    return PressTick(m_stamp, CurrentPlatform().TickCount());
}

bool PressTime::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: // a key entry's shortcut fires before its key press
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const ulong stamp = static_cast<QInputEvent *>(event)->timestamp();
        // 0 is an event the platform did not stamp.
        Note(stamp != 0 ? std::optional(std::uint32_t(stamp)) : std::nullopt);
        break;
    }
    default:
        break;
    }
    return false;
}

// The stamp belongs to the event being delivered: it is forgotten once the
// event loop runs again, so a later click by the program itself does not
// inherit it.
void PressTime::Note(std::optional<std::uint32_t> stamp)
{
    m_stamp = stamp;
    if (std::exchange(m_forgetPosted, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_stamp.reset();
            m_forgetPosted = false;
        },
        Qt::QueuedConnection);
}
