// One column of the protocol: the characters of all its cells in one
// text, each cell a stretch of it. A list of 100 000 teams then costs a
// few large blocks instead of a million small strings, which a load would
// allocate and a reload free one by one; putting rows into another order
// moves two numbers per cell; cells with the same text (the teams of one
// class) may share one stretch. Both parts are shared on copy, so a
// picture of a column taken for another thread costs nothing until the
// column changes.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <vector>

class ProtocolTextColumn
{
public:
    qsizetype Size() const { return m_cells.size(); }
    // Empty beyond the cells.
    QStringView At(qsizetype cell) const
    {
        if (cell < 0 || cell >= m_cells.size())
            return {};
        const Stretch &stretch = m_cells.at(cell);
        return QStringView(m_characters).sliced(stretch.start, stretch.size);
    }
    // No cell has ever held a character: every cell is empty. (Cells emptied
    // again may leave the column thinking otherwise.)
    bool NeverHeldText() const { return m_characters.isEmpty(); }
    // Two cells that share their stretch hold the same text; cells that do
    // not may still (compare their texts then).
    bool SharesText(qsizetype a, qsizetype b) const;

    void Reserve(qsizetype cells, qsizetype characters);
    // Gives back the room reserved beyond the cells and their characters.
    void Squeeze();
    void Append(QStringView text);
    // A cell of the same text as cell `like` (its stretch shared).
    void AppendLike(qsizetype like);
    void Set(qsizetype cell, QStringView text);
    // New cells are empty.
    void Resize(qsizetype cells);
    void Insert(qsizetype cell, QStringView text);
    void Remove(qsizetype cell);
    // Cell k takes the text of cell from[k] (a permutation of the cells).
    void Permute(const std::vector<int> &from);

private:
    struct Stretch
    {
        quint32 start = 0;
        quint32 size = 0;
    };
    // Which stretch it is: equal for cells that share one, 0 for none.
    static quint64 KeyOf(const Stretch &stretch)
    {
        return stretch.size == 0 ? 0 : (quint64(stretch.start) << 32 | stretch.size);
    }
    // Where the text's characters now stand: appended unless the column
    // holds it already at its end.
    Stretch Place(QStringView text);
    // Drops the characters no cell uses any more once they are most of the text.
    void CompactWhenWasteful();

    QString m_characters;
    QList<Stretch> m_cells;
    qsizetype m_unused = 0; // characters of stretches no cell uses
};
