// Reads a PDF back with the poppler tools, as a reader would see it: its
// text, its words with their boxes in millimetres from each page's top-left
// corner, and pdfinfo's report.
#pragma once

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

struct PdfWord
{
    QString text;
    QRectF box;   // millimetres
    int page = 0; // 0-based
};

// Every word of the file, page by page (`pdftotext -bbox`).
QList<PdfWord> PdfWords(const QString &pdf);
// The words of one page.
QList<PdfWord> PdfPageWords(const QList<PdfWord> &words, int page);
// What `pdfinfo` says about the file ("Pages:", "Page size:", ...).
QString PdfInfo(const QString &pdf);
// The text of a PDF in memory, laid out as on the page (`pdftotext -layout`);
// pages end with a form feed.
QString PdfText(const QByteArray &pdf);
