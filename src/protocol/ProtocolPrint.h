// The protocol page on paper: the web page laid out as a document, printed
// on a printer or written as a PDF when the desktop has no printer.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QTextDocument;

// The page (UTF-8 HTML) as a document ready to print.
std::unique_ptr<QTextDocument> ProtocolPageDocument(const QByteArray &page);

// The page as a PDF on landscape A4, where the ten columns have room.
QByteArray ProtocolPagePdf(const QByteArray &page, const QString &title);
