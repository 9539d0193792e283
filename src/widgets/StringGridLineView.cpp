#include "widgets/StringGridLineView.h"

#include "widgets/StringGrid.h"

TMyStringGridStrings::TMyStringGridStrings(TMyStringGrid *grid, Kind kind, int index)
    : m_grid(grid), m_kind(kind), m_index(index)
{}

int TMyStringGridStrings::Count() const
{
    return m_kind == Kind::Row ? m_grid->ColCount() : m_grid->RowCount();
}

QString TMyStringGridStrings::Strings(int i) const
{
    return m_grid->Cells(CellCol(i), CellRow(i));
}

void TMyStringGridStrings::SetStrings(int i, const QString &text)
{
    m_grid->SetCells(CellCol(i), CellRow(i), text);
}

QObject *TMyStringGridStrings::Objects(int i) const
{
    return m_grid->Objects(CellCol(i), CellRow(i));
}

void TMyStringGridStrings::SetObjects(int i, QObject *object)
{
    m_grid->SetObjects(CellCol(i), CellRow(i), object);
}

void TMyStringGridStrings::Clear()
{
    BeginUpdate();
    if (m_kind == Kind::Row) {
        for (TStringSparseList &column : m_grid->m_columns) {
            if (m_index < column.Count())
                column.Put(m_index, QString());
        }
        m_grid->m_repaintDue = true;
    } else {
        for (int row = 0; row < m_grid->RowCount(); ++row) {
            SetStrings(row, QString());
            SetObjects(row, nullptr);
        }
    }
    EndUpdate();
}

int TMyStringGridStrings::Add(const QString &text)
{
    for (int i = 0; i < Count(); ++i) {
        if (Strings(i).isEmpty()) {
            SetStrings(i, text.isEmpty() ? QStringLiteral(" ") : text);
            return i;
        }
    }
    return -1;
}

void TMyStringGridStrings::SetText(const QString &lines)
{
    QStringList parts = lines.split(QLatin1Char('\n'));
    if (lines.endsWith(QLatin1Char('\n')))
        parts.removeLast();
    BeginUpdate();
    Clear();
    for (QString &line : parts) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        Add(line);
    }
    EndUpdate();
}

QString TMyStringGridStrings::Text() const
{
    QString text;
    for (int i = 0; i < Count(); ++i)
        text += Strings(i) + QLatin1Char('\n');
    return text;
}

void TMyStringGridStrings::Assign(const QStringList &source)
{
    BeginUpdate();
    const int count = std::min(static_cast<int>(source.size()), Count());
    for (int i = 0; i < count; ++i) {
        SetStrings(i, source[i]);
        SetObjects(i, nullptr);
    }
    EndUpdate();
}

void TMyStringGridStrings::Insert(int, const QString &)
{
    throw EInvalidGridOperation(QStringLiteral("Cannot insert or delete rows from grid"));
}

void TMyStringGridStrings::Delete(int)
{
    Insert(0, QString());
}

void TMyStringGridStrings::BeginUpdate()
{
    m_grid->BeginViewUpdate();
}

void TMyStringGridStrings::EndUpdate()
{
    m_grid->EndViewUpdate();
}
