// The items of both lane selectors, read from the protocol grid itself:
// item k stands for data row k + 1 and reads "Nr. TeamName Klasse". A list
// of 100 000 teams then costs the selectors no copy of their texts, and
// rebuilding them after a ranking or a sort is one reset.
#pragma once

#include <QAbstractListModel>

class TMyStringGrid;

class LaneSelectorModel : public QAbstractListModel
{
    Q_OBJECT

public:
    LaneSelectorModel(const TMyStringGrid *grid, QObject *parent);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // One item per data row from now on (count of them); the selectors
    // showing this model lose their selection.
    void Rebuild(int count);

private:
    const TMyStringGrid *m_grid;
    int m_count = 0;
};
