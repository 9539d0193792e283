// Out-of-line parts of the grid's storage: the list error, the reordering
// of cells and a column's (dense) cells.
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

TCellPermutation::TCellPermutation(int first, const std::vector<int> &from)
    : m_first(first), m_count(static_cast<int>(from.size()))
{
    CheckIndex(first);
    m_cycles.reserve(from.size() + from.size() / 2);
    std::vector<bool> placed(from.size());
    for (int start = 0; start < m_count; ++start) {
        if (placed[start])
            continue;
        int k = start;
        do {
            placed[k] = true;
            m_cycles.push_back(k);
            const int source = from[k] - first;
            if (source < 0 || source >= m_count)
                throw EListError(from[k]);
            k = source;
        } while (!placed[k]);
        // Only a permutation leads back to where its cycle began.
        if (k != start)
            throw EListError(first + k);
        // A cell that stays where it is needs no move.
        if (m_cycles.back() == start)
            m_cycles.pop_back();
        else
            m_cycles.push_back(-1);
    }
}

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

void TStringSparseList::TakeTextsFrom(int first, QList<QString> texts)
{
    CheckIndex(first);
    if (texts.size() < first)
        texts.resize(first);
    QString *taken = texts.data();
    for (int index = 0; index < first; ++index)
        taken[index] = index < m_texts.size() ? std::move(m_texts[index]) : QString();
    m_texts = std::move(texts);
    if (m_objects.size() > std::size_t(first))
        m_objects.resize(std::size_t(first));
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
    Reorder(TCellPermutation(first, from));
}

void TStringSparseList::Reorder(const TCellPermutation &permutation)
{
    if (permutation.Count() == 0)
        return;
    Reach(permutation.First() + permutation.Count() - 1);
    // Through the storage itself: indexing a list checks for sharing on
    // every cell.
    permutation.Apply(m_texts.data());
    if (!m_objects.empty())
        permutation.Apply(m_objects.data());
}
