// Storage behind the string grid: an index → item map made of fixed-size
// sections allocated on first write and a list view over it that can
// insert, delete, exchange and move items (the grid's row and column views
// live there), and the cells of one grid column, which TStringSparseList
// keeps densely, in one array up to the highest row written, whatever its
// name says. Unwritten items and cells read as empty.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

// Raised for a negative list index.
class EListError : public std::out_of_range
{
public:
    explicit EListError(int index);
    QString Message() const { return QString::fromUtf8(what()); }
};

enum class TSPAQuantum { Small = 16, Large = 256 };

// Index → item map. T must be default-constructible and movable; a
// default-constructed T is the empty value.
template <typename T> class TSparsePointerArray
{
public:
    explicit TSparsePointerArray(TSPAQuantum quantum = TSPAQuantum::Small)
        : m_sectionSize(static_cast<int>(quantum))
    {}

    // The item at index, or nullptr when its section was never written.
    const T *Find(int index) const
    {
        const Section *section = SectionOf(index);
        return section ? &(*section)[index % m_sectionSize] : nullptr;
    }
    T *Find(int index) { return const_cast<T *>(std::as_const(*this).Find(index)); }

    // The slot at index, allocating its section.
    T &Slot(int index)
    {
        const int s = index / m_sectionSize;
        if (s >= static_cast<int>(m_directory.size()))
            m_directory.resize(s + 1);
        if (!m_directory[s])
            m_directory[s] = std::make_unique<Section>(m_sectionSize);
        if (index > m_highBound)
            m_highBound = index;
        return (*m_directory[s])[index % m_sectionSize];
    }

    // Highest index ever written, -1 when none.
    int HighBound() const { return m_highBound; }
    void SetHighBound(int highBound) { m_highBound = highBound; }

    // Calls fn(index, item) for every slot of every allocated section up to
    // HighBound; stops early when fn returns false.
    void ForAll(const std::function<bool(int, T &)> &fn)
    {
        for (int s = 0; s < static_cast<int>(m_directory.size()); ++s) {
            if (!m_directory[s])
                continue;
            for (int i = 0; i < m_sectionSize; ++i) {
                const int index = s * m_sectionSize + i;
                if (index > m_highBound || !fn(index, (*m_directory[s])[i]))
                    return;
            }
        }
    }

private:
    using Section = std::vector<T>;
    const Section *SectionOf(int index) const
    {
        if (index < 0)
            return nullptr;
        const int s = index / m_sectionSize;
        if (s >= static_cast<int>(m_directory.size()))
            return nullptr;
        return m_directory[s].get();
    }

    int m_sectionSize;
    std::vector<std::unique_ptr<Section>> m_directory;
    int m_highBound = -1;
};

// A list over a sparse array: Count is the highest written index + 1.
template <typename T> class TSparseList
{
public:
    explicit TSparseList(TSPAQuantum quantum = TSPAQuantum::Small) : m_array(quantum) {}

    int Count() const { return m_array.HighBound() + 1; }

    // The item, or nullptr when never written.
    const T *Get(int index) const
    {
        Check(index);
        return m_array.Find(index);
    }
    T *Get(int index)
    {
        Check(index);
        return m_array.Find(index);
    }
    void Put(int index, T item)
    {
        Check(index);
        m_array.Slot(index) = std::move(item);
    }
    // The slot, allocated on demand.
    T &At(int index)
    {
        Check(index);
        return m_array.Slot(index);
    }

    // Shifts the items from index on up by one and puts item at index.
    void Insert(int index, T item)
    {
        Check(index);
        for (int i = Count() - 1; i >= index; --i)
            MoveSlot(i, i + 1);
        Put(index, std::move(item));
    }
    // Removes the item at index, shifting the following ones down by one.
    void Delete(int index)
    {
        Check(index);
        const int count = Count();
        if (index >= count)
            return;
        for (int i = index; i < count - 1; ++i)
            MoveSlot(i + 1, i);
        if (T *last = m_array.Find(count - 1))
            *last = T{};
        m_array.SetHighBound(count - 2);
    }
    void Exchange(int a, int b)
    {
        Check(a);
        Check(b);
        if (a != b)
            std::swap(m_array.Slot(a), m_array.Slot(b));
    }
    // Takes the item out at from and re-inserts it at to; the items between
    // shift by one.
    void Move(int from, int to)
    {
        Check(from);
        Check(to);
        if (from == to)
            return;
        T moving = Take(from);
        const int step = from < to ? 1 : -1;
        for (int i = from; i != to; i += step)
            MoveSlot(i + step, i);
        m_array.Slot(to) = std::move(moving);
    }
    void ForAll(const std::function<bool(int, T &)> &fn) { m_array.ForAll(fn); }

private:
    static void Check(int index)
    {
        if (index < 0)
            throw EListError(index);
    }
    T Take(int index)
    {
        T *item = m_array.Find(index);
        return item ? std::exchange(*item, T{}) : T{};
    }
    void MoveSlot(int from, int to)
    {
        T *source = m_array.Find(from);
        if (source)
            m_array.Slot(to) = std::exchange(*source, T{});
        else if (T *target = m_array.Find(to))
            *target = T{};
    }

    TSparsePointerArray<T> m_array;
};

// A reordering of the cells first .. first + n - 1 of a column: cell
// first + k takes cell from[k]. Kept as the cycles of the permutation, each
// cell of a cycle taking the next one's, so that a column is reordered
// where it stands, without a second column's worth of memory. Throws
// EListError when from is not a permutation of those cells.
class TCellPermutation
{
public:
    TCellPermutation(int first, const std::vector<int> &from);
    int First() const { return m_first; }
    int Count() const { return m_count; }
    // Moves the cells from cells[First()] on along the cycles.
    template <typename Cell> void Apply(Cell *cells) const;

private:
    int m_first = 0;
    int m_count = 0;
    std::vector<int> m_cycles; // positions from First(), each cycle closed by -1
};

template <typename Cell> void TCellPermutation::Apply(Cell *cells) const
{
    cells += m_first;
    for (std::size_t k = 0; k < m_cycles.size(); ++k) {
        Cell first = std::move(cells[m_cycles[k]]);
        for (; m_cycles[k + 1] >= 0; ++k)
            cells[m_cycles[k]] = std::move(cells[m_cycles[k + 1]]);
        cells[m_cycles[k]] = std::move(first);
        ++k; // past the -1
    }
}

// The cells of one grid column, indexed by row: a text and an object per
// cell, stored densely up to the highest row written, the objects only once
// a cell carries one. Count is the highest written index + 1; unwritten
// cells read as empty. Kept in one array per column, a column of 100 000
// rows is read in order and costs no allocation per row. The texts are
// shared on copy: a picture of a column taken for another thread costs
// nothing until the column changes while that picture is still held.
class TStringSparseList
{
public:
    // Room for count cells without moving them, growing at least twofold.
    void Reserve(int count);
    int Count() const
    {
        return static_cast<int>(std::max<std::size_t>(m_texts.size(), m_objects.size()));
    }
    QString Get(int index) const;
    // The stored texts (Count or fewer; the rest read as empty), shared.
    QList<QString> Texts() const { return m_texts; }
    // An empty text beyond the stored cells stores nothing.
    void Put(int index, const QString &text);
    // A list filled cell after cell grows by one at its end each time.
    void Put(int index, QString &&text)
    {
        const int stored = static_cast<int>(m_texts.size());
        if (index >= 0 && index < stored)
            m_texts[index] = std::move(text);
        else if (index == stored && !text.isEmpty())
            m_texts.append(std::move(text));
        else
            PutBeyond(index, std::move(text));
    }
    // The cells from first on become those of texts, without objects; the
    // cells before first keep theirs.
    void TakeTextsFrom(int first, QList<QString> texts);
    QObject *GetObject(int index) const;
    void PutObject(int index, QObject *object);
    // Shifts the cells from index on up by one and puts text at index.
    void Insert(int index, const QString &text);
    // Removes the cell at index, shifting the following ones down by one.
    void Delete(int index);
    void Exchange(int a, int b);
    // Takes the cell out at from and re-inserts it at to; the cells between
    // shift by one.
    void Move(int from, int to);
    // The cells from first on become the cells at the indexes in from, in
    // that order: cell first + k ← cell from[k]. from must be a permutation
    // of first .. first + from.size() - 1; anything else throws EListError
    // and changes nothing.
    void Reorder(int first, const std::vector<int> &from);
    // The same order, worked out once for several columns.
    void Reorder(const TCellPermutation &permutation);

private:
    // Put for an index past the end of the stored texts (or a bad one).
    void PutBeyond(int index, QString &&text);
    // Both tables as long as Count and holding index, so cells can move.
    void Reach(int index);

    QList<QString> m_texts;
    std::vector<QObject *> m_objects; // empty while no cell carried an object
};
