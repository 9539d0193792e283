// The recovery journal's text: the snapshot and the change records.
#include "protocol/JournalText.h"

#include "protocol/JournalLog.h"
#include "text/Utf8Append.h"

#include <QDir>
#include <QtGlobal>
#include <algorithm>
#include <climits>
#include <numeric>

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
const QByteArray DiscardedKey = "Verworfen";
const QByteArray CellKey = "Zelle";
const QByteArray EndKey = "Ende";
const QByteArray LogKey = "Aenderungen";
const QByteArray RowKey = "Zeile";
const QByteArray BlankKey = "Leerzellen";
const QByteArray StartOrderKey = "Startfolge";
const QByteArray RunsKey = "Laeufe";
// 2 added the columns whose blank cells read back as one blank, 3 the start
// order and the checksum; journals of 1 and 2 are still read.
constexpr int FormatVersion = 3;
// The first version whose end note carries the checksum of the text before it.
constexpr int ChecksumVersion = 3;
// Start order places per note line in the snapshot.
constexpr std::size_t StartOrderPerNote = 1000;

// Note values may hold any text: the three characters that would end a
// field or a line, and the escape character itself, are written as %XX.
QByteArray Escaped(QStringView text)
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

// Tab-separated text writes an empty cell as one blank, so a cell that is
// one blank, or that holds a tab or line break, cannot be told back from
// the row; nor can a start number beginning with "Nr", whose line a list
// reader would take for a header. Such cells travel in a note as well.
// Which of an empty cell and a single blank a column's blank reads back as
// is noted once for the column (a loaded list fills its empty fields with
// one blank): only the other kind needs a note.
bool IsOneBlank(QStringView cell)
{
    return cell.size() == 1 && cell.front() == u' ';
}

// Appends the cell as the row shows it; false when the row cannot carry
// it exactly, so it needs a note as well.
bool AppendRowCell(QByteArray &line, QStringView cell, int column, bool blankIsOneBlank)
{
    if (cell.isEmpty() || IsOneBlank(cell)) {
        line += " \t";
        return cell.isEmpty() != blankIsOneBlank;
    }
    const bool readAsHeader = column == ColNr && cell.startsWith(QLatin1StringView("Nr"));
    // Most cells go in as they are, looked at and copied in one pass.
    if (!readAsHeader && AppendUtf8Without(line, cell, u"\t\r\n")) {
        line += '\t';
        return true;
    }
    QString shown = cell.toString();
    for (const QChar c : {u'\t', u'\r', u'\n'})
        shown.replace(c, u' ');
    if (readAsHeader)
        shown.prepend(u' ');
    AppendUtf8(line, shown);
    line += '\t';
    return false;
}

void AppendNote(QByteArray &text, const QByteArray &key, const QByteArray &value)
{
    text += NotePrefix + key + '\t' + value + Eol;
}

QByteArray HeaderLine(const JournalColumns &columns)
{
    QByteArray line;
    for (const int column : columns)
        line += ColumnHeader(column).toUtf8() + '\t';
    return line;
}

// What the notes say while the text is read.
struct NoteReading
{
    JournalColumns columns; // of the text's columns, the protocol's
    qsizetype version = 0;
    bool ended = false;
    qsizetype endCount = -1;
    QByteArrayView checksum; // empty when the end note carries none
    quint64 logKey = 0;
    std::array<bool, ProtocolCellCount> blankIsOneBlank{};
    QList<std::tuple<qsizetype, int, QString>> exactCells;
    StartOrderPlaces startOrder;
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

// The columns a header line of the snapshot names, in its order: a
// journal written while the protocol had other columns still reads.
std::optional<JournalColumns> ColumnsNamedIn(QByteArrayView header)
{
    const QList<QByteArrayView> names = Split(header, "\t");
    if (names.size() < 2 || !names.last().isEmpty())
        return std::nullopt;
    JournalColumns columns;
    for (const QByteArrayView name : names.first(names.size() - 1))
        columns.push_back(ColumnNamed(QString::fromUtf8(name)));
    return columns;
}

bool ReadInt(QByteArrayView text, qsizetype &value)
{
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok;
}

bool ReadInt(QByteArrayView text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

// Empty when every row has its own position: one form for each order.
void DropOwnOrder(StartOrder &order)
{
    for (std::size_t row = 0; row < order.size(); ++row) {
        if (order[row] != int(row))
            return;
    }
    order.clear();
}

// Sets places of the start order given by position; false (order
// untouched) when one names a row past the last.
bool SetStartOrder(StartOrder &order, std::size_t rows, const StartOrderPlaces &places)
{
    for (const auto &[row, place] : places) {
        if (row >= rows)
            return false;
    }
    if (places.empty())
        return true;
    if (order.size() < rows) {
        const std::size_t given = order.size();
        order.resize(rows);
        std::iota(order.begin() + std::ptrdiff_t(given), order.end(), int(given));
    }
    for (const auto &[row, place] : places)
        order[row] = place;
    DropOwnOrder(order);
    return true;
}

// "Startfolge", the first row's position, then the places of the rows from there.
bool ReadStartOrderNote(const QList<QByteArrayView> &parts, NoteReading &notes)
{
    qsizetype row = 0;
    if (parts.size() < 3 || !ReadInt(parts[1], row) || row < 0)
        return false;
    for (qsizetype i = 2; i < parts.size(); ++i) {
        int place = 0;
        if (!ReadInt(parts[i], place))
            return false;
        notes.startOrder.emplace_back(std::size_t(row++), place);
    }
    return true;
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
    if (notes.discarded)
        append(DiscardedKey, "1");
    // Only a race of several runs says so: a one-run journal stays as it was.
    if (notes.runs >= 2)
        append(RunsKey,
               QByteArray::number(notes.runs) + '\t' + QByteArray::number(notes.currentRun));
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
    if (key == RunsKey) {
        const bool ok = parts.size() == 3 && ReadInt(parts[1], a) && ReadInt(parts[2], b) &&
                        a >= 2 && a <= MaxRuns && b >= 1 && b <= a;
        notes.runs = ok ? int(a) : 1;
        notes.currentRun = ok ? int(b) : 1;
        return result(ok);
    }
    if (key == UnsavedKey || key == DiscardedKey) {
        bool &value = key == UnsavedKey ? notes.unsaved : notes.discarded;
        value = parts.size() == 2 && parts[1] == "1";
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
        return parts.size() == 2 && ReadInt(parts[1], notes.version) && notes.version >= 1 &&
               notes.version <= FormatVersion;
    if (key == StartOrderKey)
        return ReadStartOrderNote(parts, notes);
    if (key == LogKey && parts.size() == 2) {
        bool ok = false;
        notes.logKey = parts[1].toULongLong(&ok, 16);
        return ok && notes.logKey != 0;
    }
    // Columns are counted as the text's header names them.
    const qsizetype columns = qsizetype(notes.columns.size());
    if (key == BlankKey && parts.size() == 2 && ReadInt(parts[1], a) && a >= 0 && a < columns) {
        if (const int column = notes.columns[std::size_t(a)]; column >= 0)
            notes.blankIsOneBlank[std::size_t(column)] = true;
        return true;
    }
    if (key == CellKey && parts.size() == 4 && ReadInt(parts[1], a) && ReadInt(parts[2], b) &&
        b >= 0 && b < columns) {
        if (const int column = notes.columns[std::size_t(b)]; column >= 0)
            notes.exactCells.append({a, column, Unescaped(parts[3])});
        return true;
    }
    if (key == EndKey && (parts.size() == 2 || parts.size() == 3) &&
        ReadInt(parts[1], notes.endCount)) {
        notes.checksum = parts.size() == 3 ? parts[2] : QByteArrayView();
        return notes.ended = true;
    }
    return false;
}

// A cell of a column the protocol lacks is dropped.
bool ReadRow(QByteArrayView line, const JournalColumns &columns, ProtocolTable &rows)
{
    const QList<QByteArrayView> cells = Split(line, "\t");
    if (cells.size() != qsizetype(columns.size()) + 1 || !cells.last().isEmpty())
        return false;
    ProtocolRow &row = rows.emplace_back();
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const QByteArrayView cell = cells[qsizetype(k)];
        if (columns[k] >= 0 && cell != " ")
            row[std::size_t(columns[k])] = QString::fromUtf8(cell);
    }
    return true;
}

// "Zeile", the row's position, its cells escaped: one line of a change.
QByteArray ChangedRowLine(std::size_t index, const ProtocolRow &row, const JournalColumns &columns)
{
    QByteArray line = RowKey + '\t' + QByteArray::number(qulonglong(index));
    for (const int column : columns)
        line += '\t' + Escaped(row[std::size_t(column)]);
    return line + Eol;
}

bool ReadChangedRow(const QList<QByteArrayView> &parts, const JournalColumns &columns,
                    JournalChange &change)
{
    qsizetype index = 0;
    if (parts.size() != qsizetype(columns.size()) + 2 || !ReadInt(parts[1], index) || index < 0)
        return false;
    ProtocolRow row;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (columns[k] >= 0)
            row[std::size_t(columns[k])] = Unescaped(parts[qsizetype(k) + 2]);
    }
    change.rows.emplace_back(std::size_t(index), std::move(row));
    return true;
}

// "Startfolge", the row's position, its place: one line of a change.
QByteArray ChangedStartOrderLine(std::size_t index, int place)
{
    return StartOrderKey + '\t' + QByteArray::number(qulonglong(index)) + '\t' +
           QByteArray::number(place) + Eol;
}

bool ReadChangedStartOrder(const QList<QByteArrayView> &parts, JournalChange &change)
{
    qsizetype index = 0;
    int place = 0;
    if (parts.size() != 3 || !ReadInt(parts[1], index) || index < 0 || !ReadInt(parts[2], place))
        return false;
    change.startOrder.emplace_back(std::size_t(index), place);
    return true;
}

// The start order's notes of a snapshot, none when it is the rows' own.
template <typename Flush>
bool AppendStartOrderNotes(QByteArray &text, std::size_t rows, const StartOrder &order,
                           const Flush &flush)
{
    StartOrder given(order.begin(), order.begin() + std::ptrdiff_t(std::min(order.size(), rows)));
    DropOwnOrder(given);
    for (std::size_t first = 0; first < given.size(); first += StartOrderPerNote) {
        QByteArray note = QByteArray::number(qulonglong(first));
        for (std::size_t row = first; row < std::min(given.size(), first + StartOrderPerNote);
             ++row)
            note += '\t' + QByteArray::number(given[row]);
        AppendNote(text, StartOrderKey, note);
        if (!flush())
            return false;
    }
    return true;
}

// The checksum as the end note writes it: eight hex digits.
QByteArray ChecksumText(quint32 checksum)
{
    return QByteArray::number(checksum, 16).rightJustified(8, '0');
}

// Whether the text before the end note is the text the note's checksum was
// taken of; a journal written before checksums has none to check.
bool ChecksumHolds(QByteArrayView covered, const NoteReading &notes)
{
    if (notes.checksum.isEmpty())
        return notes.version < ChecksumVersion;
    return notes.checksum == ChecksumText(Crc32(0, covered));
}

// The text is handed on in pieces of about this size, so a snapshot of a
// long list never sits whole in memory.
constexpr qsizetype SnapshotPieceBytes = 256 * 1024;

// The columns holding more single blanks than empty cells.
template <typename CellOf>
std::array<bool, ProtocolCellCount> ColumnsMostlyOneBlank(std::size_t rows, const CellOf &cellOf,
                                                          const JournalColumns &columns)
{
    std::array<std::ptrdiff_t, ProtocolCellCount> lead{}; // one blank − empty
    for (std::size_t index = 0; index < rows; ++index) {
        for (const int column : columns) {
            const QStringView cell = cellOf(index, column);
            lead[column] += IsOneBlank(cell) ? 1 : cell.isEmpty() ? -1 : 0;
        }
    }
    std::array<bool, ProtocolCellCount> mostly{};
    for (const int column : columns)
        mostly[column] = lead[column] > 0;
    return mostly;
}

// cellOf(row, column) gives the text of a cell, row 0 being the first team.
template <typename CellOf>
bool WriteSnapshotText(const JournalNotes &notes, std::size_t rows, const CellOf &cellOf,
                       const StartOrder &startOrder, quint64 logKey, const ChunkWriter &write)
{
    QByteArray text;
    text.reserve(SnapshotPieceBytes + 4096);
    quint32 checksum = 0; // of the pieces handed on
    // Hands a full piece on.
    const auto flush = [&] {
        if (text.size() < SnapshotPieceBytes)
            return true;
        checksum = Crc32(checksum, text);
        const bool written = write(text);
        text.resize(0); // keeps its room for the next piece
        return written;
    };
    const JournalColumns columns = ProtocolJournalColumns(notes.runs);
    text += HeaderLine(columns) + Eol;
    AppendNote(text, VersionKey, QByteArray::number(FormatVersion));
    AppendStateNotes(text, NotePrefix, notes);
    if (logKey != 0)
        AppendNote(text, LogKey, QByteArray::number(logKey, 16));
    const std::array<bool, ProtocolCellCount> blankIsOneBlank =
        ColumnsMostlyOneBlank(rows, cellOf, columns);
    // Notes name a column by its place in the header.
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (blankIsOneBlank[std::size_t(columns[k])])
            AppendNote(text, BlankKey, QByteArray::number(qulonglong(k)));
    }
    std::vector<std::size_t> inexact;
    // A ranked protocol's cells lie anywhere in their columns' texts: the
    // cells a few rows ahead are asked for while this row is written.
    constexpr std::size_t Ahead = 8;
    for (std::size_t index = 0; index < rows; ++index) {
        for (std::size_t k = 0; index + Ahead < rows && k < columns.size(); ++k)
            __builtin_prefetch(cellOf(index + Ahead, columns[k]).data());
        inexact.clear();
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const int column = columns[k];
            if (!AppendRowCell(text, cellOf(index, column), column, blankIsOneBlank[column]))
                inexact.push_back(k);
        }
        text += Eol;
        // A cell the row cannot carry follows it in a note.
        for (const std::size_t k : inexact)
            AppendNote(text, CellKey,
                       QByteArray::number(qulonglong(index)) + '\t' +
                           QByteArray::number(qulonglong(k)) + '\t' +
                           Escaped(cellOf(index, columns[k])));
        if (!flush())
            return false;
    }
    if (!AppendStartOrderNotes(text, rows, startOrder, flush))
        return false;
    checksum = Crc32(checksum, text);
    AppendNote(text, EndKey, QByteArray::number(qulonglong(rows)) + '\t' + ChecksumText(checksum));
    return write(text);
}

} // namespace

bool WriteJournalText(const JournalState &state, quint64 logKey, const ChunkWriter &write)
{
    return WriteSnapshotText(
        state, state.rows.size(),
        [&](std::size_t row, int column) -> QStringView { return state.rows[row][column]; },
        state.startOrder, logKey, write);
}

bool WriteJournalText(const JournalNotes &notes, const ProtocolColumns &columns,
                      const StartOrder &startOrder, quint64 logKey, const ChunkWriter &write)
{
    return WriteSnapshotText(
        notes, columns.rows, [&](std::size_t row, int column) { return columns.Cell(row, column); },
        startOrder, logKey, write);
}

QByteArray JournalText(const JournalState &state, quint64 logKey)
{
    QByteArray text;
    WriteJournalText(state, logKey, [&](QByteArrayView piece) {
        text += piece;
        return true;
    });
    return text;
}

std::optional<JournalState> ReadJournalText(QByteArrayView text, quint64 *logKey,
                                            JournalColumns *columns)
{
    if (!text.endsWith(Eol))
        return std::nullopt;
    JournalState state;
    NoteReading notes;
    QList<QByteArrayView> lines = Split(text.chopped(Eol.size()), Eol);
    std::optional<JournalColumns> named = lines.isEmpty() ? std::nullopt : ColumnsNamedIn(lines[0]);
    if (!named)
        return std::nullopt;
    notes.columns = std::move(*named);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (notes.ended)
            return std::nullopt; // nothing may follow the end note
        const QByteArrayView line = lines[i];
        const bool ok = line.startsWith(NotePrefix) ? ReadNote(line, state, notes)
                                                    : ReadRow(line, notes.columns, state.rows);
        if (!ok)
            return std::nullopt;
    }
    if (notes.version == 0 || !notes.ended || !state.stamp.isValid() ||
        notes.endCount != qsizetype(state.rows.size()) ||
        !ChecksumHolds(text.first(lines.last().data() - text.data()), notes))
        return std::nullopt;
    static const QString oneBlank = QStringLiteral(" ");
    for (ProtocolRow &row : state.rows) {
        for (int column = 0; column < ProtocolCellCount; ++column) {
            if (notes.blankIsOneBlank[column] && row[column].isEmpty())
                row[column] = oneBlank;
        }
    }
    for (const auto &[row, column, cell] : notes.exactCells) {
        if (row < 0 || row >= qsizetype(state.rows.size()))
            return std::nullopt;
        state.rows[std::size_t(row)][column] = cell;
    }
    if (!SetStartOrder(state.startOrder, state.rows.size(), notes.startOrder))
        return std::nullopt;
    if (logKey)
        *logKey = notes.logKey;
    if (columns)
        *columns = std::move(notes.columns);
    return state;
}

QByteArray JournalChangeText(const JournalChange &change)
{
    QByteArray text;
    AppendStateNotes(text, {}, change.notes);
    const JournalColumns columns = ProtocolJournalColumns(change.notes.runs);
    for (const auto &[index, row] : change.rows)
        text += ChangedRowLine(index, row, columns);
    for (const auto &[index, place] : change.startOrder)
        text += ChangedStartOrderLine(index, place);
    return text;
}

JournalColumns ProtocolJournalColumns(int runs)
{
    JournalColumns columns(std::size_t(ShownColumnCount(runs)));
    std::iota(columns.begin(), columns.end(), 0);
    if (runs >= 2)
        columns.push_back(ColBahnen);
    return columns;
}

std::optional<JournalChange> ReadJournalChangeText(QByteArrayView text,
                                                   const JournalColumns &columns)
{
    if (!text.endsWith(Eol))
        return std::nullopt;
    JournalChange change;
    for (const QByteArrayView line : Split(text.chopped(Eol.size()), Eol)) {
        const QList<QByteArrayView> parts = Split(line, "\t");
        const NoteRead read = ReadStateNote(parts, change.notes);
        const bool ok = read != NoteRead::OtherKey ? read == NoteRead::Read
                        : parts[0] == RowKey
                            ? ReadChangedRow(parts, columns, change)
                            : parts[0] == StartOrderKey && ReadChangedStartOrder(parts, change);
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
    if (!SetStartOrder(state.startOrder, state.rows.size(), change.startOrder))
        return false;
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

QString RecoveryQuestion(const JournalState &state, const QString &aside)
{
    return QStringLiteral(
               "Letzten Stand vom %1 wiederherstellen? (%2\u00a0Teams,\u00a0%3\u00a0Zeiten)"
               "\nNein: der Stand wird aufbewahrt unter\n%4")
        .arg(state.stamp.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")))
        .arg(TeamCount(state.rows))
        .arg(RecordedResultCount(state.rows))
        .arg(QDir::toNativeSeparators(aside));
}
