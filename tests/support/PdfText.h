// The text of a PDF as poppler's pdftotext reads it, page by page
// (pages end with a form feed).
#pragma once

#include <QByteArray>
#include <QString>

QString PdfText(const QByteArray &pdf);
