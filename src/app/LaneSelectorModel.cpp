// Lane selector items over the protocol's rows.
#include "app/LaneSelectorModel.h"

#include "protocol/ProtocolModel.h"

#include <QColor>

LaneSelectorModel::LaneSelectorModel(const ProtocolModel &protocol, QObject *parent)
    : QAbstractListModel(parent), m_protocol(protocol)
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
    const int row = index.row();
    if (role == Qt::ForegroundRole)
        return IsBlankText(m_protocol.Cell(row, ColZeit)) ? QVariant() : QVariant(QColor(Qt::gray));
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return LaneSelectorText(m_protocol.Cell(row, ColNr), m_protocol.Cell(row, ColTeamName),
                            m_protocol.Cell(row, ColKlasse));
}

void LaneSelectorModel::Rebuild()
{
    beginResetModel();
    m_count = m_protocol.TeamCount();
    endResetModel();
}

void LaneSelectorModel::RowChanged(int row)
{
    if (row >= 0 && row < m_count)
        emit dataChanged(index(row), index(row));
}
