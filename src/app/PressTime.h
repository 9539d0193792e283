// The moment of the operator's press. Key and mouse events carry the time
// the platform saw them (on X11 and Wayland milliseconds of the monotonic
// clock the tick count reads too), so a stop handled late, behind other
// work of the GUI thread, still gets the moment of its press. This filter
// notes the stamp of each key and mouse event while it is being delivered.
#pragma once

#include <QObject>
#include <cstdint>
#include <optional>

class PressTime : public QObject
{
public:
    // Watches every event the application delivers.
    explicit PressTime(QObject *parent = nullptr);

    // The tick of the press being handled: its event's stamp where that is
    // usable, else the tick count now. Outside the delivery of a key or
    // mouse event it is the tick count now.
    std::uint32_t Tick() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Note(std::optional<std::uint32_t> stamp);

    std::optional<std::uint32_t> m_stamp;
    bool m_forgetPosted = false;
};
