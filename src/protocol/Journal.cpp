// The recovery journal's text and file.
#include "protocol/Journal.h"

#include "protocol/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>

namespace {

const QByteArray Eol = "\r\n";
const QByteArray NotePrefix = "Nr:";
const QByteArray VersionKey = "Wiederherstellung";
const QByteArray StampKey = "Stand";
const QByteArray EventKey = "Veranstaltung";
const QByteArray ListKey = "Liste";
const QByteArray CaptionKey = "Titel";
const QByteArray LanesKey = "Rennspuren";
const QByteArray UnsavedKey = "Ungesichert";
const QByteArray CellKey = "Zelle";
const QByteArray EndKey = "Ende";
constexpr int FormatVersion = 1;
// Far above the largest list the program loads, so a journal it wrote is
// always read back.
constexpr qint64 MaxJournalBytes = 512LL * 1024 * 1024;

// Note values may hold any text: the three characters that would end a
// field or a line, and the escape character itself, are written as %XX.
QByteArray Escaped(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray escaped;
    escaped.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '%':
            escaped += "%25";
            break;
        case '\t':
            escaped += "%09";
            break;
        case '\r':
            escaped += "%0D";
            break;
        case '\n':
            escaped += "%0A";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString Unescaped(QByteArrayView text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toByteArray()));
}

bool HasLineBreakOrTab(const QString &cell)
{
    for (const QChar c : cell) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

// Tab-separated text writes an empty cell as one blank, so a cell that is
// one blank, or that holds a tab or line break, cannot be told back from
// the row; nor can a start number beginning with "Nr", whose line a list
// reader would take for a header. Such cells travel in a note as well.
bool RowCarriesExactly(const QString &cell, int column)
{
    if (cell == QStringLiteral(" ") || HasLineBreakOrTab(cell))
        return false;
    return column != ColNr || !cell.startsWith(QStringLiteral("Nr"));
}

void AppendRowCell(QByteArray &line, const QString &cell, int column)
{
    if (cell.isEmpty()) {
        line += ' ';
    } else if (RowCarriesExactly(cell, column)) {
        line += cell.toUtf8();
    } else {
        QString shown = cell;
        for (const QChar c : {u'\t', u'\r', u'\n'})
            shown.replace(c, u' ');
        if (column == ColNr && shown.startsWith(QStringLiteral("Nr")))
            shown.prepend(u' ');
        line += shown.toUtf8();
    }
    line += '\t';
}

void AppendNote(QByteArray &text, const QByteArray &key, const QByteArray &value)
{
    text += NotePrefix + key + '\t' + value + Eol;
}

QByteArray HeaderLine()
{
    QByteArray line;
    for (const QString &title : ProtocolHeaders())
        line += title.toUtf8() + '\t';
    return line;
}

// What the notes say while the text is read.
struct NoteReading
{
    bool versionSeen = false;
    bool ended = false;
    qsizetype endCount = -1;
    QList<std::tuple<qsizetype, int, QString>> exactCells;
};

QList<QByteArrayView> Split(QByteArrayView text, QByteArrayView separator)
{
    QList<QByteArrayView> parts;
    qsizetype start = 0;
    for (qsizetype end = text.indexOf(separator); end >= 0; end = text.indexOf(separator, start)) {
        parts.append(text.sliced(start, end - start));
        start = end + separator.size();
    }
    parts.append(text.sliced(start));
    return parts;
}

bool ReadInt(QByteArrayView text, qsizetype &value)
{
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok;
}

bool ReadNote(QByteArrayView line, JournalState &state, NoteReading &notes)
{
    const QList<QByteArrayView> parts = Split(line.sliced(NotePrefix.size()), "\t");
    const QByteArrayView key = parts[0];
    qsizetype a = 0;
    qsizetype b = 0;
    if (key == VersionKey)
        return notes.versionSeen = parts.size() == 2 && ReadInt(parts[1], a) && a == FormatVersion;
    if (key == StampKey && parts.size() == 2) {
        state.stamp = QDateTime::fromString(QString::fromLatin1(parts[1]), Qt::ISODateWithMs);
        return state.stamp.isValid();
    }
    if (key == EventKey && parts.size() == 2)
        return state.eventName = Unescaped(parts[1]), true;
    if (key == ListKey && parts.size() == 2)
        return state.listPath = Unescaped(parts[1]), true;
    if (key == CaptionKey && parts.size() == 2)
        return state.caption = Unescaped(parts[1]), true;
    if (key == LanesKey && parts.size() == 3 && ReadInt(parts[1], a) && ReadInt(parts[2], b)) {
        state.lane1 = int(a);
        state.lane2 = int(b);
        return a >= -1 && b >= -1 && a <= INT_MAX && b <= INT_MAX;
    }
    if (key == UnsavedKey && parts.size() == 2 && (parts[1] == "0" || parts[1] == "1"))
        return state.unsaved = parts[1] == "1", true;
    if (key == CellKey && parts.size() == 4 && ReadInt(parts[1], a) && ReadInt(parts[2], b) &&
        b >= 0 && b < ProtocolColumnCount) {
        notes.exactCells.append({a, int(b), Unescaped(parts[3])});
        return true;
    }
    if (key == EndKey && parts.size() == 2 && ReadInt(parts[1], a)) {
        notes.endCount = a;
        return notes.ended = true;
    }
    return false;
}

bool ReadRow(QByteArrayView line, ProtocolTable &rows)
{
    const QList<QByteArrayView> cells = Split(line, "\t");
    if (cells.size() != ProtocolColumnCount + 1 || !cells.last().isEmpty())
        return false;
    ProtocolRow &row = rows.emplace_back();
    for (int column = 0; column < ProtocolColumnCount; ++column) {
        const QByteArrayView cell = cells[column];
        if (cell != " ")
            row[column] = QString::fromUtf8(cell);
    }
    return true;
}

} // namespace

QByteArray JournalText(const JournalState &state)
{
    QByteArray text;
    text.reserve(qsizetype(state.rows.size()) * 96 + 1024);
    text += HeaderLine() + Eol;
    AppendNote(text, VersionKey, QByteArray::number(FormatVersion));
    AppendNote(text, StampKey, state.stamp.toString(Qt::ISODateWithMs).toLatin1());
    AppendNote(text, EventKey, Escaped(state.eventName));
    AppendNote(text, ListKey, Escaped(state.listPath));
    AppendNote(text, CaptionKey, Escaped(state.caption));
    AppendNote(text, LanesKey,
               QByteArray::number(state.lane1) + '\t' + QByteArray::number(state.lane2));
    AppendNote(text, UnsavedKey, state.unsaved ? "1" : "0");
    QByteArray exactCells;
    for (std::size_t index = 0; index < state.rows.size(); ++index) {
        const ProtocolRow &row = state.rows[index];
        for (int column = 0; column < ProtocolColumnCount; ++column) {
            AppendRowCell(text, row[column], column);
            if (!row[column].isEmpty() && !RowCarriesExactly(row[column], column))
                AppendNote(exactCells, CellKey,
                           QByteArray::number(qulonglong(index)) + '\t' +
                               QByteArray::number(column) + '\t' + Escaped(row[column]));
        }
        text += Eol;
    }
    text += exactCells;
    AppendNote(text, EndKey, QByteArray::number(qulonglong(state.rows.size())));
    return text;
}

std::optional<JournalState> ReadJournalText(QByteArrayView text)
{
    if (!text.endsWith(Eol))
        return std::nullopt;
    JournalState state;
    NoteReading notes;
    QList<QByteArrayView> lines = Split(text.chopped(Eol.size()), Eol);
    if (lines.isEmpty() || lines[0] != HeaderLine())
        return std::nullopt;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (notes.ended)
            return std::nullopt; // nothing may follow the end note
        const QByteArrayView line = lines[i];
        const bool ok =
            line.startsWith(NotePrefix) ? ReadNote(line, state, notes) : ReadRow(line, state.rows);
        if (!ok)
            return std::nullopt;
    }
    if (!notes.versionSeen || !notes.ended || !state.stamp.isValid() ||
        notes.endCount != qsizetype(state.rows.size()))
        return std::nullopt;
    for (const auto &[row, column, cell] : notes.exactCells) {
        if (row < 0 || row >= qsizetype(state.rows.size()))
            return std::nullopt;
        state.rows[std::size_t(row)][column] = cell;
    }
    return state;
}

int RecordedResultCount(const ProtocolTable &rows)
{
    return int(std::count_if(rows.begin(), rows.end(),
                             [](const ProtocolRow &row) { return !IsBlankText(row[ColZeit]); }));
}

int TeamCount(const ProtocolTable &rows)
{
    if (rows.empty() || rows.front()[ColNr].isEmpty())
        return 0;
    return int(rows.size());
}

bool WorthRecovering(const JournalState &state)
{
    return state.unsaved && TeamCount(state.rows) > 0;
}

QString RecoveryQuestion(const JournalState &state)
{
    return QStringLiteral("Letzten Stand vom %1 wiederherstellen? (%2 Teams, %3 Zeiten)")
        .arg(state.stamp.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")))
        .arg(TeamCount(state.rows))
        .arg(RecordedResultCount(state.rows));
}

bool Journal::Write(const JournalState &state, QString *error) const
{
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Der Ordner %1 kann nicht angelegt werden.").arg(folder);
        return false;
    }
    return WriteFileAtomically(m_fileName, JournalText(state), error);
}

Journal::Found Journal::Read(JournalState &state) const
{
    if (!QFileInfo::exists(m_fileName) && !QFileInfo(m_fileName).isSymLink())
        return Found::Nothing;
    const RegularFileRead file = ReadRegularFile(m_fileName, MaxJournalBytes);
    std::optional<JournalState> read;
    if (file.ok)
        read = ReadJournalText(file.bytes);
    if (!read)
        return Found::Damaged;
    state = std::move(*read);
    return Found::Readable;
}

QString Journal::PutAside(const QDateTime &stamp) const
{
    const QFileInfo info(m_fileName);
    const QString base =
        info.dir().filePath(info.completeBaseName() + QStringLiteral(" vom ") +
                            stamp.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
    for (int number = 1; number < 1000; ++number) {
        const QString name = base + (number > 1 ? QStringLiteral(" (%1)").arg(number) : QString()) +
                             QStringLiteral(".txt");
        if (QFileInfo::exists(name))
            continue;
        return QFile::rename(m_fileName, name) ? name : QString();
    }
    return {};
}
