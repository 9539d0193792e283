#pragma once

#include <QString>
#include <QStringList>

class QObject;
class TMyStringGrid;

// A string-list view of one row or one column of a string grid.
class TMyStringGridStrings
{
public:
    enum class Kind { Row, Col };
    TMyStringGridStrings(TMyStringGrid *grid, Kind kind, int index);

    // ColCount for a row view, RowCount for a column view.
    int Count() const;
    QString Strings(int i) const;
    void SetStrings(int i, const QString &text);
    QObject *Objects(int i) const;
    void SetObjects(int i, QObject *object);
    void Clear();
    // Writes text into the first empty item (an empty text as " ") and
    // returns its index; -1 when no item is empty.
    int Add(const QString &text);
    // Clears the view, then adds each line; lines beyond Count are dropped.
    void SetText(const QString &lines);
    // The items joined by line breaks.
    QString Text() const;
    // Copies the first min(source count, Count) strings; objects become none.
    void Assign(const QStringList &source);
    // Refused: a view cannot change the grid's shape.
    [[noreturn]] void Insert(int i, const QString &text);
    [[noreturn]] void Delete(int i);
    // While updating, cell repaints are collected into one full repaint.
    void BeginUpdate();
    void EndUpdate();

private:
    int CellCol(int i) const { return m_kind == Kind::Row ? i : m_index; }
    int CellRow(int i) const { return m_kind == Kind::Row ? m_index : i; }

    TMyStringGrid *m_grid;
    Kind m_kind;
    int m_index;
};
