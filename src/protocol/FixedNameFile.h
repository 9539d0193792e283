// Files the program writes under a name it chose itself: the web page in the
// working folder, the date-stamped document, the spreadsheet's workbook.
// Such a folder may be shared (a club folder, /tmp), so a link of that name
// planted by someone else is never written through, not even a dangling
// one. Names the operator picks in a save dialog are not written here: they
// follow links as in any program.
#pragma once

#include <QByteArray>
#include <QString>

// Refuses a name that is a link ("<name> ist ein Verweis auf eine andere
// Datei und wird nicht überschrieben") or anything but a file, writing
// nothing; otherwise replaces the file atomically, readable as the user's
// umask allows. false with the reason in *error.
bool WriteFixedNameFile(const QString &fileName, const QByteArray &bytes, QString *error);
