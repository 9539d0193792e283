// The protocol on paper: the title and the table of the web page, drawn row
// by row onto printer pages (header row repeated on every page), or written
// as a PDF when the desktop has no printer. Drawn directly, because laying
// out the web page as a rich-text document takes minutes for a long list.
#pragma once

#include "protocol/ProtocolFiles.h"

#include <QByteArray>
#include <QString>

class QPagedPaintDevice;

// Paints every page of the protocol on the device, starting on its current
// page. `rows` holds the header row first.
void PaintProtocolPages(const CellRows &rows, const QString &title, QPagedPaintDevice *device);

// The protocol as a PDF on landscape A4, where the ten columns have room.
QByteArray ProtocolPagePdf(const CellRows &rows, const QString &title);
