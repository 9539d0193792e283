#include "app/FileTypeNames.h"

#include <QMimeDatabase>

std::optional<QString> DesktopMimeDescription(const QString &mimeType)
{
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    if (!type.isValid())
        return std::nullopt;
    return type.comment();
}

FileTypeNames ReadFileTypeNames(const MimeDescriptionLookup &lookup)
{
    FileTypeNames names;
    const std::pair<const char *, QString *> types[] = {
        {"text/html", &names.html},
        {"text/plain", &names.text},
        {"application/msword", &names.word},
        {"text/csv", &names.csv},
    };
    for (const auto &[mimeType, name] : types) {
        // A type the desktop does not know keeps its built-in name; the
        // others are still looked up.
        if (const std::optional<QString> description = lookup(QString::fromLatin1(mimeType)))
            *name = *description;
    }
    return names;
}

QString OpenDialogFilter(const FileTypeNames &names)
{
    return names.text + QStringLiteral(" (*.txt)|*.txt|") + names.csv +
           QStringLiteral(" (*.csv)|*.csv");
}

QString SaveDialogFilter(const FileTypeNames &names)
{
    return names.csv + QStringLiteral(" (*.csv)|*.csv|") + names.word +
           QStringLiteral(" (*.doc)|*.doc|") + names.html + QStringLiteral(" (*.html)|*.html|") +
           names.text + QStringLiteral(" (*.txt)|*.txt");
}
