// Out-of-line parts of the sparse storage: the list error and a column's cells.
#include "widgets/SparseLists.h"

namespace {

void CheckIndex(int index)
{
    if (index < 0)
        throw EListError(index);
}

template <typename Cells> void Rotate(Cells &cells, int from, int to)
{
    if (from < to)
        std::rotate(cells.begin() + from, cells.begin() + from + 1, cells.begin() + to + 1);
    else
        std::rotate(cells.begin() + to, cells.begin() + from, cells.begin() + from + 1);
}

} // namespace

EListError::EListError(int index)
    : std::out_of_range(QStringLiteral("List index out of bounds (%1)").arg(index).toStdString())
{}

QString TStringSparseList::Get(int index) const
{
    CheckIndex(index);
    return index < static_cast<int>(m_texts.size()) ? m_texts[index] : QString();
}

void TStringSparseList::Put(int index, const QString &text)
{
    Put(index, QString(text));
}

void TStringSparseList::PutBeyond(int index, QString &&text)
{
    CheckIndex(index);
    if (text.isEmpty())
        return;
    m_texts.resize(index + 1);
    m_texts[index] = std::move(text);
}

QObject *TStringSparseList::GetObject(int index) const
{
    CheckIndex(index);
    return index < static_cast<int>(m_objects.size()) ? m_objects[index] : nullptr;
}

void TStringSparseList::PutObject(int index, QObject *object)
{
    CheckIndex(index);
    if (index >= static_cast<int>(m_objects.size())) {
        if (!object)
            return;
        m_objects.resize(index + 1, nullptr);
    }
    m_objects[index] = object;
}

void TStringSparseList::Reserve(int count)
{
    if (m_texts.capacity() < count)
        m_texts.reserve(std::max<qsizetype>(count, 2 * m_texts.capacity()));
}

void TStringSparseList::Reach(int index)
{
    const int count = std::max(Count(), index + 1);
    m_texts.resize(count);
    if (!m_objects.empty())
        m_objects.resize(count, nullptr);
}

void TStringSparseList::Insert(int index, const QString &text)
{
    CheckIndex(index);
    Reach(index - 1);
    m_texts.insert(m_texts.begin() + index, text);
    if (!m_objects.empty())
        m_objects.insert(m_objects.begin() + index, nullptr);
}

void TStringSparseList::Delete(int index)
{
    CheckIndex(index);
    if (index >= Count())
        return;
    Reach(index);
    m_texts.erase(m_texts.begin() + index);
    if (!m_objects.empty())
        m_objects.erase(m_objects.begin() + index);
}

void TStringSparseList::Exchange(int a, int b)
{
    CheckIndex(a);
    CheckIndex(b);
    if (a == b)
        return;
    Reach(std::max(a, b));
    std::swap(m_texts[a], m_texts[b]);
    if (!m_objects.empty())
        std::swap(m_objects[a], m_objects[b]);
}

void TStringSparseList::Move(int from, int to)
{
    CheckIndex(from);
    CheckIndex(to);
    if (from == to)
        return;
    Reach(std::max(from, to));
    Rotate(m_texts, from, to);
    if (!m_objects.empty())
        Rotate(m_objects, from, to);
}

void TStringSparseList::Reorder(int first, const std::vector<int> &from)
{
    CheckIndex(first);
    if (from.empty())
        return;
    int last = first + static_cast<int>(from.size()) - 1;
    for (int index : from) {
        CheckIndex(index);
        last = std::max(last, index);
    }
    Reach(last);
    auto reorder = [&](auto &cells) {
        using Cell = typename std::decay_t<decltype(cells)>::value_type;
        std::vector<Cell> moved;
        moved.reserve(from.size());
        // Through the storage itself: indexing a list checks for sharing
        // on every cell.
        Cell *stored = cells.data();
        for (int index : from)
            moved.push_back(std::move(stored[index]));
        std::move(moved.begin(), moved.end(), stored + first);
    };
    reorder(m_texts);
    if (!m_objects.empty())
        reorder(m_objects);
}
