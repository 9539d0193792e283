// The protocol as a word-processor document: the template opened, the
// table inserted as tab-separated text and turned into a ten-column table,
// the document saved, all through the "Word.Basic" automation object.
#pragma once

#include "protocol/ProtocolFiles.h"

#include <QDateTime>
#include <QString>

enum class WordProcessorMode {
    Visible,   // the document is shown in the word processor afterwards
    Background // only saved
};

// Every cell followed by a tab, the last of a row by CR LF instead, and the
// very last character dropped, so the text ends in one CR.
QString WordProcessorText(const CellRows &rows);

// "yyyy-mm-dd-hh-mm" of the moment; two exports in one minute share it.
QString DateStampName(const QDateTime &moment);

// Runs the export; returns where the document went (empty when the server
// does not say). Throws EAutomationError with a message for the operator
// when the server is missing or any step fails; the remaining steps are
// skipped then.
QString ExportToWordProcessor(const CellRows &rows, WordProcessorMode mode,
                              const QString &templatePath, const QString &fileName);
