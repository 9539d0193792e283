// The recovery journal's text and file.
#include "protocol/Journal.h"

#include "protocol/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
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
const QByteArray LogKey = "Aenderungen";
const QByteArray RowKey = "Zeile";
const QByteArray BlankKey = "Leerzellen";
// 2 added the columns whose blank cells read back as one blank; a journal
// of 1 is still read.
constexpr int FormatVersion = 2;
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
// Which of an empty cell and a single blank a column's blank reads back as
// is noted once for the column (a loaded list fills its empty fields with
// one blank): only the other kind needs a note.
bool IsOneBlank(const QString &cell)
{
    return cell.size() == 1 && cell.front() == u' ';
}

bool RowCarriesExactly(const QString &cell, int column, bool blankIsOneBlank)
{
    if (cell.isEmpty())
        return !blankIsOneBlank;
    if (IsOneBlank(cell))
        return blankIsOneBlank;
    if (HasLineBreakOrTab(cell))
        return false;
    return column != ColNr || !cell.startsWith(QLatin1StringView("Nr"));
}

// Most cells are plain ASCII: those go in without a converted copy.
void AppendUtf8(QByteArray &line, const QString &text)
{
    const qsizetype start = line.size();
    line.resize(start + text.size());
    char *out = line.data() + start;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            line.truncate(start);
            line += text.toUtf8();
            return;
        }
        *out++ = char(c.unicode());
    }
}

// Appends the cell as the row shows it; false when the row cannot carry
// it exactly, so it needs a note as well.
bool AppendRowCell(QByteArray &line, const QString &cell, int column, bool blankIsOneBlank)
{
    const bool exact = RowCarriesExactly(cell, column, blankIsOneBlank);
    if (cell.isEmpty() || IsOneBlank(cell)) {
        line += ' ';
    } else if (exact) {
        AppendUtf8(line, cell);
    } else {
        QString shown = cell;
        for (const QChar c : {u'\t', u'\r', u'\n'})
            shown.replace(c, u' ');
        if (column == ColNr && shown.startsWith(QStringLiteral("Nr")))
            shown.prepend(u' ');
        line += shown.toUtf8();
    }
    line += '\t';
    return exact;
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
    quint64 logKey = 0;
    std::array<bool, ProtocolColumnCount> blankIsOneBlank{};
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

// The state's notes, written the same way in the snapshot (behind the
// note prefix) and in a change record.
void AppendStateNotes(QByteArray &text, const QByteArray &prefix, const JournalNotes &notes)
{
    const auto append = [&](const QByteArray &key, const QByteArray &value) {
        text += prefix + key + '\t' + value + Eol;
    };
    append(StampKey, notes.stamp.toString(Qt::ISODateWithMs).toLatin1());
    append(EventKey, Escaped(notes.eventName));
    append(ListKey, Escaped(notes.listPath));
    append(CaptionKey, Escaped(notes.caption));
    append(LanesKey, QByteArray::number(notes.lane1) + '\t' + QByteArray::number(notes.lane2));
    append(UnsavedKey, notes.unsaved ? "1" : "0");
}

enum class NoteRead { Read, Bad, OtherKey };

NoteRead ReadStateNote(const QList<QByteArrayView> &parts, JournalNotes &notes)
{
    const QByteArrayView key = parts[0];
    const auto result = [](bool ok) { return ok ? NoteRead::Read : NoteRead::Bad; };
    qsizetype a = 0;
    qsizetype b = 0;
    if (key == StampKey) {
        notes.stamp = parts.size() == 2
                          ? QDateTime::fromString(QString::fromLatin1(parts[1]), Qt::ISODateWithMs)
                          : QDateTime();
        return result(notes.stamp.isValid());
    }
    if (key == EventKey || key == ListKey || key == CaptionKey) {
        QString &value = key == EventKey  ? notes.eventName
                         : key == ListKey ? notes.listPath
                                          : notes.caption;
        value = parts.size() == 2 ? Unescaped(parts[1]) : QString();
        return result(parts.size() == 2);
    }
    if (key == LanesKey) {
        const bool ok = parts.size() == 3 && ReadInt(parts[1], a) && ReadInt(parts[2], b) &&
                        a >= -1 && b >= -1 && a <= INT_MAX && b <= INT_MAX;
        notes.lane1 = ok ? int(a) : -1;
        notes.lane2 = ok ? int(b) : -1;
        return result(ok);
    }
    if (key == UnsavedKey) {
        notes.unsaved = parts.size() == 2 && parts[1] == "1";
        return result(parts.size() == 2 && (parts[1] == "0" || parts[1] == "1"));
    }
    return NoteRead::OtherKey;
}

bool ReadNote(QByteArrayView line, JournalState &state, NoteReading &notes)
{
    const QList<QByteArrayView> parts = Split(line.sliced(NotePrefix.size()), "\t");
    if (const NoteRead read = ReadStateNote(parts, state); read != NoteRead::OtherKey)
        return read == NoteRead::Read;
    const QByteArrayView key = parts[0];
    qsizetype a = 0;
    qsizetype b = 0;
    if (key == VersionKey)
        return notes.versionSeen =
                   parts.size() == 2 && ReadInt(parts[1], a) && (a == 1 || a == FormatVersion);
    if (key == LogKey && parts.size() == 2) {
        bool ok = false;
        notes.logKey = parts[1].toULongLong(&ok, 16);
        return ok && notes.logKey != 0;
    }
    if (key == BlankKey && parts.size() == 2 && ReadInt(parts[1], a) && a >= 0 &&
        a < ProtocolColumnCount) {
        notes.blankIsOneBlank[a] = true;
        return true;
    }
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

// "Zeile", the row's position, its ten cells escaped: one line of a change.
QByteArray ChangedRowLine(std::size_t index, const ProtocolRow &row)
{
    QByteArray line = RowKey + '\t' + QByteArray::number(qulonglong(index));
    for (const QString &cell : row)
        line += '\t' + Escaped(cell);
    return line + Eol;
}

bool ReadChangedRow(const QList<QByteArrayView> &parts, JournalChange &change)
{
    qsizetype index = 0;
    if (parts.size() != ProtocolColumnCount + 2 || !ReadInt(parts[1], index) || index < 0)
        return false;
    ProtocolRow row;
    for (int column = 0; column < ProtocolColumnCount; ++column)
        row[column] = Unescaped(parts[column + 2]);
    change.rows.emplace_back(std::size_t(index), std::move(row));
    return true;
}

// A key for a new snapshot's log: never 0 (no log), never an earlier one's.
quint64 NewLogKey()
{
    quint64 key = 0;
    while (key == 0)
        key = QRandomGenerator::system()->generate64();
    return key;
}

// The text is handed on in pieces of about this size, so a snapshot of a
// long list never sits whole in memory.
constexpr qsizetype SnapshotPieceBytes = 256 * 1024;

// The columns holding more single blanks than empty cells.
template <typename CellOf>
std::array<bool, ProtocolColumnCount> ColumnsMostlyOneBlank(std::size_t rows, const CellOf &cellOf)
{
    std::array<std::ptrdiff_t, ProtocolColumnCount> lead{}; // one blank − empty
    for (std::size_t index = 0; index < rows; ++index) {
        for (int column = 0; column < ProtocolColumnCount; ++column) {
            const QString &cell = cellOf(index, column);
            lead[column] += IsOneBlank(cell) ? 1 : cell.isEmpty() ? -1 : 0;
        }
    }
    std::array<bool, ProtocolColumnCount> mostly{};
    for (int column = 0; column < ProtocolColumnCount; ++column)
        mostly[column] = lead[column] > 0;
    return mostly;
}

// cellOf(row, column) gives the text of a cell, row 0 being the first team.
template <typename CellOf>
bool WriteSnapshotText(const JournalNotes &notes, std::size_t rows, const CellOf &cellOf,
                       quint64 logKey, const ChunkWriter &write)
{
    QByteArray text;
    text.reserve(SnapshotPieceBytes + 4096);
    text += HeaderLine() + Eol;
    AppendNote(text, VersionKey, QByteArray::number(FormatVersion));
    AppendStateNotes(text, NotePrefix, notes);
    if (logKey != 0)
        AppendNote(text, LogKey, QByteArray::number(logKey, 16));
    const std::array<bool, ProtocolColumnCount> blankIsOneBlank =
        ColumnsMostlyOneBlank(rows, cellOf);
    for (int column = 0; column < ProtocolColumnCount; ++column) {
        if (blankIsOneBlank[column])
            AppendNote(text, BlankKey, QByteArray::number(column));
    }
    std::vector<int> inexact;
    for (std::size_t index = 0; index < rows; ++index) {
        inexact.clear();
        for (int column = 0; column < ProtocolColumnCount; ++column) {
            if (!AppendRowCell(text, cellOf(index, column), column, blankIsOneBlank[column]))
                inexact.push_back(column);
        }
        text += Eol;
        // A cell the row cannot carry follows it in a note.
        for (const int column : inexact)
            AppendNote(text, CellKey,
                       QByteArray::number(qulonglong(index)) + '\t' + QByteArray::number(column) +
                           '\t' + Escaped(cellOf(index, column)));
        if (text.size() >= SnapshotPieceBytes) {
            if (!write(text))
                return false;
            text.resize(0); // keeps its room for the next piece
        }
    }
    AppendNote(text, EndKey, QByteArray::number(qulonglong(rows)));
    return write(text);
}

bool WriteStateText(const JournalState &state, quint64 logKey, const ChunkWriter &write)
{
    return WriteSnapshotText(
        state, state.rows.size(),
        [&](std::size_t row, int column) -> const QString & { return state.rows[row][column]; },
        logKey, write);
}

} // namespace

QByteArray JournalText(const JournalState &state, quint64 logKey)
{
    QByteArray text;
    WriteStateText(state, logKey, [&](QByteArrayView piece) {
        text += piece;
        return true;
    });
    return text;
}

std::optional<JournalState> ReadJournalText(QByteArrayView text, quint64 *logKey)
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
    static const QString oneBlank = QStringLiteral(" ");
    for (ProtocolRow &row : state.rows) {
        for (int column = 0; column < ProtocolColumnCount; ++column) {
            if (notes.blankIsOneBlank[column] && row[column].isEmpty())
                row[column] = oneBlank;
        }
    }
    for (const auto &[row, column, cell] : notes.exactCells) {
        if (row < 0 || row >= qsizetype(state.rows.size()))
            return std::nullopt;
        state.rows[std::size_t(row)][column] = cell;
    }
    if (logKey)
        *logKey = notes.logKey;
    return state;
}

QByteArray JournalChangeText(const JournalChange &change)
{
    QByteArray text;
    AppendStateNotes(text, {}, change.notes);
    for (const auto &[index, row] : change.rows)
        text += ChangedRowLine(index, row);
    return text;
}

std::optional<JournalChange> ReadJournalChangeText(QByteArrayView text)
{
    if (!text.endsWith(Eol))
        return std::nullopt;
    JournalChange change;
    for (const QByteArrayView line : Split(text.chopped(Eol.size()), Eol)) {
        const QList<QByteArrayView> parts = Split(line, "\t");
        const NoteRead read = ReadStateNote(parts, change.notes);
        const bool ok = read == NoteRead::OtherKey
                            ? parts[0] == RowKey && ReadChangedRow(parts, change)
                            : read == NoteRead::Read;
        if (!ok)
            return std::nullopt;
    }
    if (!change.notes.stamp.isValid())
        return std::nullopt;
    return change;
}

bool ApplyJournalChange(JournalState &state, const JournalChange &change)
{
    for (const auto &[index, row] : change.rows) {
        if (index >= state.rows.size())
            return false;
    }
    static_cast<JournalNotes &>(state) = change.notes;
    for (const auto &[index, row] : change.rows)
        state.rows[index] = row;
    return true;
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

Journal::Journal(const QString &fileName)
    : m_fileName(fileName), m_log(QFileInfo(fileName).dir().filePath(
                                QFileInfo(fileName).completeBaseName() + QStringLiteral(".log")))
{}

Journal::~Journal()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    if (m_writer.joinable())
        m_writer.join();
}

bool Journal::WriteSnapshot(const SnapshotWriter &text, QString *error)
{
    // Until this snapshot is on the disk, records of the last one would
    // describe a table that is no longer shown.
    m_log.Close();
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Der Ordner %1 kann nicht angelegt werden.").arg(folder);
        return false;
    }
    const quint64 key = NewLogKey();
    if (!WriteFileAtomically(
            m_fileName, [&](const ChunkWriter &write) { return text(key, write); }, error))
        return false;
    // Without its log every later change takes a snapshot: slower, as safe.
    m_log.Start(key, nullptr);
    return true;
}

bool Journal::Write(const JournalState &state, QString *error)
{
    WaitUntilWritten();
    return WriteSnapshot(
        [&](quint64 key, const ChunkWriter &write) { return WriteStateText(state, key, write); },
        error);
}

void Journal::WriteInBackground(const JournalNotes &notes, const ProtocolColumns &columns)
{
    {
        const std::lock_guard lock(m_mutex);
        m_waiting = Picture{notes, columns};
    }
    if (!m_writer.joinable())
        m_writer = std::thread([this] { WriteInTurn(); });
    m_changed.notify_all();
}

void Journal::WaitUntilWritten()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_waiting && !m_writing; });
}

// The journal's thread: writes the newest picture waiting, until the
// journal closes with none left.
void Journal::WriteInTurn()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_waiting || m_closing; });
        if (!m_waiting)
            return;
        std::optional<Picture> picture = std::exchange(m_waiting, std::nullopt);
        m_writing = true;
        lock.unlock();
        QString error;
        const bool written = WriteSnapshot(
            [&](quint64 key, const ChunkWriter &write) {
                const ProtocolColumns &columns = picture->columns;
                return WriteSnapshotText(
                    picture->notes, columns.rows,
                    [&](std::size_t row, int column) -> const QString & {
                        return columns.Cell(row, column);
                    },
                    key, write);
            },
            &error);
        // The grid's columns are no longer shared once the picture is gone:
        // its next change then copies nothing.
        picture.reset();
        if (m_outcome)
            m_outcome(written, error);
        lock.lock();
        m_writing = false;
        m_changed.notify_all();
    }
}

bool Journal::Append(const JournalChange &change)
{
    WaitUntilWritten();
    if (!m_log.IsOpen())
        return false;
    const QByteArray payload = JournalChangeText(change);
    return m_log.HasRoom(payload) && m_log.Write(payload, nullptr);
}

Journal::Found Journal::Read(JournalState &state) const
{
    if (!QFileInfo::exists(m_fileName) && !QFileInfo(m_fileName).isSymLink())
        return Found::Nothing;
    const RegularFileRead file = ReadRegularFile(m_fileName, MaxJournalBytes);
    quint64 key = 0;
    std::optional<JournalState> read;
    if (file.ok)
        read = ReadJournalText(file.bytes, &key);
    if (!read)
        return Found::Damaged;
    const RegularFileRead log =
        key != 0 ? ReadRegularFile(LogFileName(), MaxJournalBytes) : RegularFileRead{};
    for (const QByteArrayView payload : JournalLogPayloads(log.bytes, key)) {
        const std::optional<JournalChange> change = ReadJournalChangeText(payload);
        if (!change || !ApplyJournalChange(*read, *change))
            break;
    }
    state = std::move(*read);
    return Found::Readable;
}

QString Journal::DatedName(const QDateTime &stamp) const
{
    const QFileInfo info(m_fileName);
    const QString base =
        info.dir().filePath(info.completeBaseName() + QStringLiteral(" vom ") +
                            stamp.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
    for (int number = 1; number < 1000; ++number) {
        const QString name = base + (number > 1 ? QStringLiteral(" (%1)").arg(number) : QString()) +
                             QStringLiteral(".txt");
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
            return name;
    }
    return {};
}

QString Journal::KeepAside(const JournalState &state) const
{
    const QString name = DatedName(state.stamp);
    const auto produce = [&](const ChunkWriter &write) { return WriteStateText(state, 0, write); };
    if (name.isEmpty() || !WriteFileAtomically(name, produce, nullptr))
        return {};
    QFile::remove(m_fileName);
    return name;
}

QString Journal::PutAside(const QDateTime &stamp) const
{
    const QString name = DatedName(stamp);
    return !name.isEmpty() && QFile::rename(m_fileName, name) ? name : QString();
}
