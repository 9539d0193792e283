// The built-in word-processor automation server.
#include "protocol/WordBasicServer.h"

#include "platform/Desktop.h"
#include "protocol/FixedNameFile.h"
#include "protocol/ProtocolFiles.h"
#include "protocol/RtfDocument.h"
#include "protocol/UserTempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace {

constexpr int ConvertFromTabs = 1;
constexpr int ConversionTimeLimitMs = 60000;

QString CannotReadTemplate(const QString &fileName)
{
    return QStringLiteral("Die Protokollvorlage kann nicht gelesen werden: ") + fileName;
}

// An operator's own template in another format (.doc, .docx, .odt) as RTF,
// converted by LibreOffice when it is installed: no shell, a profile of its
// own (a running office keeps the user's locked) and a time limit.
std::optional<QByteArray> ConvertedToRtf(const QString &fileName)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    QString error;
    const QString temp = UserTempFolder(&error);
    if (office.isEmpty() || temp.isEmpty())
        return std::nullopt;
    QTemporaryDir work(QDir(temp).filePath(QStringLiteral("vorlage-XXXXXX")));
    if (!work.isValid())
        return std::nullopt;
    QProcess process;
    process.setProgram(office);
    process.setArguments(
        {QStringLiteral("-env:UserInstallation=") +
             QUrl::fromLocalFile(work.filePath(QStringLiteral("profil"))).toString(),
         QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("rtf"),
         QStringLiteral("--outdir"), work.path(), QFileInfo(fileName).absoluteFilePath()});
    process.start();
    if (!process.waitForFinished(ConversionTimeLimitMs)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    QFile converted(work.filePath(QFileInfo(fileName).completeBaseName() + QStringLiteral(".rtf")));
    if (process.exitCode() != 0 || !converted.open(QIODevice::ReadOnly))
        return std::nullopt;
    return OpenRtfDocument(converted.readAll());
}

} // namespace

AutomationResult WordBasicServer::Call(const QString &member, const QVariantList &arguments,
                                       const NamedArguments &named)
{
    if (IsMember(member, "AppMaximize")) {
        m_showWhenSaved = true;
    } else if (IsMember(member, "AppMinimize")) {
        m_showWhenSaved = false;
    } else if (IsMember(member, "AppClose")) {
        *this = WordBasicServer();
    } else if (IsMember(member, "FileOpen")) {
        FileOpen(arguments.value(0).toString());
    } else if (IsMember(member, "Insert")) {
        Insert(arguments.value(0).toString());
    } else if (IsMember(member, "LineUp")) {
        LineUp(arguments.value(0, 1).toInt(), arguments.value(1, 0).toInt() != 0);
    } else if (IsMember(member, "TextToTable")) {
        TextToTable(named);
    } else if (IsMember(member, "FileSaveAs")) {
        return {FileSaveAs(arguments.value(0).toString()), nullptr};
    } else {
        throw EAutomationError(QStringLiteral("Unbekannter Name: ") + member);
    }
    return {};
}

void WordBasicServer::Put(const QString &property, const QVariant &)
{
    throw EAutomationError(QStringLiteral("Unbekannter Name: ") + property);
}

void WordBasicServer::PutIndexed(const QString &property, const QVariantList &, const QVariant &)
{
    throw EAutomationError(QStringLiteral("Unbekannter Name: ") + property);
}

QString WordBasicServer::SavePath(const QString &fileName)
{
    if (QFileInfo(fileName).isAbsolute())
        return fileName;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    return QDir(documents).filePath(fileName);
}

void WordBasicServer::FileOpen(const QString &fileName)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        throw EAutomationError(CannotReadTemplate(fileName));
    std::optional<QByteArray> document = OpenRtfDocument(file.readAll());
    if (!document)
        document = ConvertedToRtf(fileName);
    if (!document)
        throw EAutomationError(CannotReadTemplate(fileName));
    const bool showWhenSaved = m_showWhenSaved;
    *this = WordBasicServer();
    m_showWhenSaved = showWhenSaved;
    m_template = *document;
    m_open = true;
}

void WordBasicServer::RequireDocument() const
{
    if (!m_open)
        throw EAutomationError(QStringLiteral("Kein Dokument geöffnet"));
}

void WordBasicServer::Insert(const QString &text)
{
    RequireDocument();
    m_pending += text;
    qsizetype start = 0;
    for (qsizetype i = 0; i < m_pending.size(); ++i) {
        if (m_pending[i] != u'\r' && m_pending[i] != u'\n')
            continue;
        m_blocks.append({m_pending.mid(start, i - start), {}, 0});
        if (m_pending[i] == u'\r' && i + 1 < m_pending.size() && m_pending[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    m_pending.remove(0, start);
    m_selected = 0;
}

int WordBasicServer::TrailingParagraphs() const
{
    int count = 0;
    for (auto block = m_blocks.crbegin(); block != m_blocks.crend() && block->tableColumns == 0;
         ++block)
        ++count;
    return count;
}

void WordBasicServer::LineUp(int count, bool extend)
{
    RequireDocument();
    // Only inserted paragraphs can be selected; the template stays as it is.
    m_selected = extend ? std::clamp(count, 0, TrailingParagraphs()) : 0;
}

void WordBasicServer::TextToTable(const NamedArguments &named)
{
    RequireDocument();
    if (NamedValue(named, "ConvertFrom").toInt() != ConvertFromTabs)
        throw EAutomationError(QStringLiteral("TextToTable: nur Tabulatoren trennen Zellen"));
    if (m_selected == 0)
        throw EAutomationError(QStringLiteral("TextToTable: nichts markiert"));
    Block table;
    for (qsizetype i = m_blocks.size() - m_selected; i < m_blocks.size(); ++i)
        table.tableRows << m_blocks[i].paragraph.split(u'\t');
    const QVariant columns = NamedValue(named, "NumColumns");
    for (const QStringList &row : table.tableRows)
        table.tableColumns = std::max(table.tableColumns, int(row.size()));
    if (columns.isValid())
        table.tableColumns = columns.toInt();
    if (table.tableColumns < 1)
        throw EAutomationError(QStringLiteral("TextToTable: keine Spalten"));
    // Cells beyond the last column stay in the last cell instead of being lost.
    for (QStringList &row : table.tableRows) {
        while (row.size() > table.tableColumns)
            row[row.size() - 2] += u'\t' + row.takeLast();
    }
    m_blocks.remove(m_blocks.size() - m_selected, m_selected);
    m_blocks.append(table);
    m_selected = 0;
}

QByteArray WordBasicServer::DocumentContent() const
{
    QByteArray content;
    const int width = RtfTextWidth(m_template);
    for (const Block &block : m_blocks) {
        if (block.tableColumns > 0)
            content += RtfTable(block.tableRows, block.tableColumns, width);
        else
            content += "\\pard\\plain " + RtfText(block.paragraph) + "\\par\n";
    }
    if (!m_pending.isEmpty())
        content += "\\pard\\plain " + RtfText(m_pending) + "\\par\n";
    return content;
}

QString WordBasicServer::FileSaveAs(const QString &fileName)
{
    RequireDocument();
    const QString path = SavePath(fileName);
    const QByteArray document = m_template + '\n' + DocumentContent() + "}\n";
    // A name without a folder is one the caller made up (the date and time),
    // placed in the documents folder: it is never written through a link.
    const bool ownName = !QFileInfo(fileName).isAbsolute();
    QString error;
    if (!(ownName ? WriteFixedNameFile(path, document, &error)
                  : ReplaceFileContents(path, document, &error)))
        throw EAutomationError(QStringLiteral("Error write file: ") + path + QStringLiteral("\n") +
                               error);
    if (m_showWhenSaved)
        CurrentDesktop().OpenUrl(QUrl::fromLocalFile(path));
    return path;
}
