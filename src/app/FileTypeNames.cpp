#include "app/FileTypeNames.h"

#include <QMimeDatabase>
#include <QStringList>
#include <span>

const FileTypeDescription &DescriptionOf(FileType type)
{
    return SaveDialogFileTypes[SaveDialogIndex(type) - 1];
}

namespace {

QString DialogFilter(const FileTypeNames &names, std::span<const FileType> types)
{
    QStringList entries;
    for (const FileType type : types) {
        const QString pattern =
            QStringLiteral("*.") + QLatin1StringView(DescriptionOf(type).suffix);
        entries << names[type] + QStringLiteral(" (") + pattern + QStringLiteral(")|") + pattern;
    }
    return entries.join(u'|');
}

} // namespace

int SaveDialogIndex(FileType type)
{
    for (int index = 0; index < SaveDialogTypeCount; ++index) {
        if (SaveDialogFileTypes[index].type == type)
            return index + 1;
    }
    Q_UNREACHABLE();
    return SaveDialogTypeCount;
}

FileType SaveDialogType(int filterIndex)
{
    if (filterIndex < 1 || filterIndex > SaveDialogTypeCount)
        return FileType::TabText;
    return SaveDialogFileTypes[filterIndex - 1].type;
}

FileTypeNames::FileTypeNames()
{
    for (const FileTypeDescription &type : SaveDialogFileTypes)
        (*this)[type.type] = QString::fromLatin1(type.builtInName);
}

const QString &FileTypeNames::operator[](FileType type) const
{
    return m_names[std::size_t(SaveDialogIndex(type) - 1)];
}

QString &FileTypeNames::operator[](FileType type)
{
    return m_names[std::size_t(SaveDialogIndex(type) - 1)];
}

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
    for (const FileTypeDescription &type : SaveDialogFileTypes) {
        // A type the desktop does not know keeps its built-in name; the
        // others are still looked up.
        if (const std::optional<QString> description = lookup(QString::fromLatin1(type.mimeType)))
            names[type.type] = *description;
    }
    return names;
}

QString OpenDialogFilter(const FileTypeNames &names)
{
    return DialogFilter(names, OpenDialogFileTypes);
}

QString SaveDialogFilter(const FileTypeNames &names)
{
    std::array<FileType, SaveDialogTypeCount> types;
    for (int index = 0; index < SaveDialogTypeCount; ++index)
        types[index] = SaveDialogFileTypes[index].type;
    return DialogFilter(names, types);
}
