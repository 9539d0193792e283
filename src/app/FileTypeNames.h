// Display names of the four file types the protocol dialogs offer, taken
// from the desktop's type database where it knows them, and the dialog
// filters built from them.
#pragma once

#include <QString>
#include <functional>
#include <optional>

struct FileTypeNames
{
    QString text = QStringLiteral("Textdatei");
    QString html = QStringLiteral("Webseite");
    QString word = QStringLiteral("MS Word");
    QString csv = QStringLiteral("MS Excel");
};

// Looks up the description of a MIME type; nullopt when the type is unknown.
using MimeDescriptionLookup = std::function<std::optional<QString>(const QString &mimeType)>;
std::optional<QString> DesktopMimeDescription(const QString &mimeType);

// Replaces the built-in names by the descriptions, in the order web page,
// text, word processor, spreadsheet text; an unknown type keeps its
// built-in name.
FileTypeNames ReadFileTypeNames(const MimeDescriptionLookup &lookup = DesktopMimeDescription);

// Starter lists: 1 txt, 2 csv.
QString OpenDialogFilter(const FileTypeNames &names);
// Protocol files: 1 csv, 2 doc, 3 html, 4 txt.
QString SaveDialogFilter(const FileTypeNames &names);
