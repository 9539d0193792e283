// The file types the protocol's dialogs offer, in one table, and their
// display names: the desktop's own descriptions of the types where it
// knows them, built-in German names otherwise.
#pragma once

#include "protocol/ProtocolFiles.h"

#include <QString>
#include <array>
#include <functional>
#include <iterator>
#include <optional>

// What a file of the type holds.
enum class FileType { SemicolonList, Document, WebPage, TabText };

// The file's bytes from the protocol's cells and the event's title.
using ProtocolFileWriter = QByteArray (*)(const CellTable &table, const QString &title);

struct FileTypeDescription
{
    FileType type;
    const char *mimeType; // the desktop type whose description names it
    const char *builtInName;
    const char *suffix; // "csv": the dialogs' pattern is "*.csv"
    // How the save dialog writes it; none for the document, which the word
    // processor writes from its template.
    ProtocolFileWriter writer;
    // The error box's first words when it cannot be written, before the
    // file's name (and the reason, where the box gives one).
    const char *failure;
    bool failureGivesReason;
};

// In the save dialog's order: its filter index 1 is the first entry, as is
// the stored "FilterInd".
inline constexpr FileTypeDescription SaveDialogFileTypes[] = {
    {FileType::SemicolonList, "text/csv", "MS Excel", "csv",
     [](const CellTable &table, const QString &) { return SemicolonProtocol(table); },
     "Can't write to file:\r", false},
    {FileType::Document, "application/msword", "MS Word", "doc", nullptr, "", false},
    {FileType::WebPage, "text/html", "Webseite", "html", HtmlProtocolPage,
     "Error write file: ", true},
    {FileType::TabText, "text/plain", "Textdatei", "txt",
     [](const CellTable &table, const QString &) { return TabSeparatedProtocol(table); },
     "Error write file: ", true},
};

// The entry of a type.
const FileTypeDescription &DescriptionOf(FileType type);
inline constexpr int SaveDialogTypeCount = int(std::size(SaveDialogFileTypes));

// Starter lists: 1 txt, 2 csv (the reader takes either whatever is chosen).
inline constexpr FileType OpenDialogFileTypes[] = {FileType::TabText, FileType::SemicolonList};

// The save dialog's filter index of the type.
int SaveDialogIndex(FileType type);
// The type behind a filter index; an index the dialog does not offer
// writes tab-separated text.
FileType SaveDialogType(int filterIndex);

class FileTypeNames
{
public:
    FileTypeNames(); // the built-in names
    const QString &operator[](FileType type) const;
    QString &operator[](FileType type);

private:
    std::array<QString, SaveDialogTypeCount> m_names;
};

// Looks up the description of a MIME type; nullopt when the type is unknown.
using MimeDescriptionLookup = std::function<std::optional<QString>(const QString &mimeType)>;
std::optional<QString> DesktopMimeDescription(const QString &mimeType);

// Replaces the built-in names by the descriptions; an unknown type keeps
// its built-in name.
FileTypeNames ReadFileTypeNames(const MimeDescriptionLookup &lookup = DesktopMimeDescription);

// "<name> (*.<suffix>)|*.<suffix>" per type, joined by "|", in the dialogs' orders.
QString OpenDialogFilter(const FileTypeNames &names);
QString SaveDialogFilter(const FileTypeNames &names);
