// What the certificates of a protocol show, without any window: which rows
// get one, and the lines each certificate draws with their fonts and places
// on a page measured in 0.1 mm from its top-left corner.
#pragma once

#include "protocol/ProtocolTable.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>
#include <vector>

class CertificateLayout;
class QDate;
class QPainter;

// The table indices of the rows firstRow..lastRow (protocol rows counted
// from 1, as the print dialog offers them) whose "Platz" is a whole number.
// Rows outside the table are not considered.
std::vector<int> CertificateRows(const ProtocolTable &table, int firstRow, int lastRow);

// One line of a certificate, ready to draw.
struct CertificateLine
{
    int entry = 0; // index of the layout entry it comes from
    QString text;
    QFont font;
    QColor color;
    QPoint topLeft; // top-left corner of the text cell, 0.1 mm
};

// The lines of the certificate of one row: every entry that is on, in entry
// order. The texts made from the race data are stored into their entries,
// so afterwards the layout holds the texts of the last certificate.
std::vector<CertificateLine> CertificateLines(CertificateLayout &layout, const ProtocolRow &row,
                                              const QString &eventName, const QDate &today);

// Draws the lines on a canvas in 0.1 mm, on a transparent background.
void DrawCertificate(QPainter &canvas, const std::vector<CertificateLine> &lines);
