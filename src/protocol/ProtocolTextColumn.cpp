#include "protocol/ProtocolTextColumn.h"

#include <QHash>

bool ProtocolTextColumn::SharesText(qsizetype a, qsizetype b) const
{
    const auto keyAt = [this](qsizetype cell) {
        return cell < 0 || cell >= m_cells.size() ? 0 : KeyOf(m_cells.at(cell));
    };
    return keyAt(a) == keyAt(b);
}

void ProtocolTextColumn::Reserve(qsizetype cells, qsizetype characters)
{
    m_cells.reserve(cells);
    m_characters.reserve(characters);
}

void ProtocolTextColumn::Squeeze()
{
    m_characters.squeeze();
    m_cells.squeeze();
}

// A text that is a stretch of this very column is copied first: the
// column's characters may move as they grow.
ProtocolTextColumn::Stretch ProtocolTextColumn::Place(QStringView text)
{
    if (text.isEmpty())
        return {};
    const QChar *begin = m_characters.constData();
    if (text.data() >= begin && text.data() < begin + m_characters.size())
        return Place(text.toString());
    const auto start = quint32(m_characters.size());
    m_characters.append(text);
    return {start, quint32(text.size())};
}

void ProtocolTextColumn::Append(QStringView text)
{
    m_cells.append(Place(text));
}

void ProtocolTextColumn::AppendLike(qsizetype like)
{
    m_cells.append(m_cells.at(like));
}

void ProtocolTextColumn::Set(qsizetype cell, QStringView text)
{
    if (cell >= m_cells.size())
        Resize(cell + 1);
    m_unused += m_cells.at(cell).size;
    m_cells[cell] = Place(text);
    CompactWhenWasteful();
}

void ProtocolTextColumn::Resize(qsizetype cells)
{
    for (qsizetype cell = cells; cell < m_cells.size(); ++cell)
        m_unused += m_cells.at(cell).size;
    m_cells.resize(cells);
}

void ProtocolTextColumn::Insert(qsizetype cell, QStringView text)
{
    if (cell > m_cells.size())
        Resize(cell);
    m_cells.insert(cell, Place(text));
}

void ProtocolTextColumn::Remove(qsizetype cell)
{
    if (cell >= m_cells.size())
        return;
    m_unused += m_cells.at(cell).size;
    m_cells.removeAt(cell);
    CompactWhenWasteful();
}

// Only the stretches move, never a character. Read from anywhere and
// written in order, the moves of a long column overlap in the memory's
// pipeline, where following the permutation's cycles would wait for each.
void ProtocolTextColumn::Permute(const std::vector<int> &from)
{
    if (m_cells.size() < qsizetype(from.size()))
        Resize(qsizetype(from.size()));
    // Empty cells in any order are the same cells: a run's column before
    // the run is not moved at each ranking.
    if (NeverHeldText())
        return;
    const QList<Stretch> &cells = m_cells;
    QList<Stretch> ordered(cells.size());
    Stretch *out = ordered.data();
    for (const int k : from)
        *out++ = cells.at(k);
    m_cells = std::move(ordered);
}

// Cells that shared a stretch share its new one, so the teams of a class
// still hold one text between them.
void ProtocolTextColumn::CompactWhenWasteful()
{
    constexpr qsizetype Slack = 64 * 1024;
    if (m_unused < Slack || m_unused * 2 < m_characters.size())
        return;
    QString characters;
    characters.reserve(m_characters.size() - m_unused);
    QHash<quint64, Stretch> moved;
    for (Stretch &stretch : m_cells) {
        if (stretch.size == 0)
            continue;
        const quint64 key = KeyOf(stretch);
        auto found = moved.constFind(key);
        if (found == moved.constEnd()) {
            const Stretch placed{quint32(characters.size()), stretch.size};
            characters.append(QStringView(m_characters).sliced(stretch.start, stretch.size));
            found = moved.insert(key, placed);
        }
        stretch = *found;
    }
    m_characters = std::move(characters);
    m_unused = 0;
}
