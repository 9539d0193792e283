// The items of both lane selectors, read from the protocol model itself:
// item k stands for row k and reads "Nr. TeamName Klasse". A list of
// 100 000 teams then costs the selectors no copy of their texts, and
// rebuilding them after a ranking or a sort is one reset.
#pragma once

#include <QAbstractListModel>

class ProtocolModel;

class LaneSelectorModel : public QAbstractListModel
{
    Q_OBJECT

public:
    LaneSelectorModel(const ProtocolModel &protocol, QObject *parent);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // One item per team from now on; the selectors showing this model lose
    // their selection.
    void Rebuild();
    // The row's result changed: its item is drawn anew.
    void RowChanged(int row);

private:
    const ProtocolModel &m_protocol;
    int m_count = 0;
};
