// Out-of-line parts of the sparse storage: the list error and the string list.
#include "widgets/SparseLists.h"

EListError::EListError(int index)
    : std::out_of_range(QStringLiteral("List index out of bounds (%1)").arg(index).toStdString())
{}

QString TStringSparseList::Get(int index) const
{
    const TStringItem *item = m_list.Get(index);
    return item ? item->text : QString();
}

void TStringSparseList::Put(int index, const QString &text)
{
    TStringItem *item = m_list.Get(index);
    if (!item && text.isEmpty())
        return;
    m_list.At(index).text = text;
}

QObject *TStringSparseList::GetObject(int index) const
{
    const TStringItem *item = m_list.Get(index);
    return item ? item->object : nullptr;
}

void TStringSparseList::PutObject(int index, QObject *object)
{
    TStringItem *item = m_list.Get(index);
    if (!item && !object)
        return;
    m_list.At(index).object = object;
}

void TStringSparseList::ClearTexts()
{
    m_list.ForAll([](int, TStringItem &item) {
        item.text.clear();
        return true;
    });
}
