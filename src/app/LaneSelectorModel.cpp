// Lane selector items over the protocol grid's rows.
#include "app/LaneSelectorModel.h"

#include "protocol/ProtocolTable.h"
#include "widgets/StringGrid.h"

#include <QColor>

LaneSelectorModel::LaneSelectorModel(const TMyStringGrid *grid, QObject *parent)
    : QAbstractListModel(parent), m_grid(grid)
{}

int LaneSelectorModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

// Teams that have a result (a time, "AUS" or "DIS") are shown in grey: a
// re-run is never picked by surprise.
QVariant LaneSelectorModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_count)
        return {};
    const int row = index.row() + 1;
    if (role == Qt::ForegroundRole)
        return IsBlankText(m_grid->Cells(ColZeit, row)) ? QVariant() : QVariant(QColor(Qt::gray));
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return LaneSelectorText(m_grid->Cells(ColNr, row), m_grid->Cells(ColTeamName, row),
                            m_grid->Cells(ColKlasse, row));
}

void LaneSelectorModel::Rebuild(int count)
{
    beginResetModel();
    m_count = count;
    endResetModel();
}
