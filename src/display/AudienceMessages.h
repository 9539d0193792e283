// The audience view as the messages the live web page reads: the whole
// state when a page connects, then only the sections that changed. Every
// message carries how long each running lane has run at the moment it is
// sent, so the page counts the clock on by itself and is set right again
// with each message.
#pragma once

#include "display/AudienceView.h"

#include <QByteArray>
#include <cstdint>

namespace AudienceMessages {

// Every section of the view, for a page that just connected: built once
// per view, without the clocks; the running clocks write their seconds with
// the decimal point (the program's, as the protocol writes times).
QByteArray WholeSections(const AudienceView &view, const QString &decimalPoint);
// A message built without the clocks (`{...}`) with the running clocks of
// nowTick added, as each message is sent.
QByteArray WithClock(const QByteArray &message, const AudienceView &view, std::uint32_t nowTick);

// The sections of `after` that differ from `before`; empty when the page
// would show nothing new.
QByteArray Changes(const AudienceView &before, const AudienceView &after, std::uint32_t nowTick);

// Only the running clocks: sent now and then so a quiet page knows it is
// still connected.
QByteArray KeepAlive(const AudienceView &view, std::uint32_t nowTick);

} // namespace AudienceMessages
