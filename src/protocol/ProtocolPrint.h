// The protocol on paper: the title and the table of the web page, drawn row
// by row onto printer pages across the page's whole width (header row
// repeated on every page, number columns right-aligned), or written as a
// PDF when the desktop has no printer. Drawn directly, because laying out
// the web page as a rich-text document takes minutes for a long list.
#pragma once

#include "protocol/ProtocolFiles.h"

#include <QByteArray>
#include <QDate>
#include <QString>

class QPagedPaintDevice;

// What the printed protocol says about itself: the title over the table on
// the first page, and the event (the starter list's name) and the day at
// the top of every page.
struct ProtocolHeading
{
    QString title;
    QString eventName;
    QDate date;
};

// Paints every page of the protocol on the device, starting on its current
// page. `rows` holds the header row first.
void PaintProtocolPages(const CellRows &rows, const ProtocolHeading &heading,
                        QPagedPaintDevice *device);

// The protocol as a PDF on landscape A4, where the columns have room.
QByteArray ProtocolPagePdf(const CellRows &rows, const ProtocolHeading &heading);
