// The protocol grid as a view of the protocol model: its data rows show
// the model's rows, an edit goes to the model, a header sort puts the
// model's rows into the order shown, and each change of the model is
// drawn, the lanes' teams in red.
#pragma once

#include "widgets/StringGrid.h"

#include <QObject>
#include <QPointer>

class ProtocolModel;
class TSortGrid;
struct ProtocolChange;

class ProtocolGridView : public QObject, public TGridCellSource
{
    Q_OBJECT

public:
    // The lane count decides whether lane 2's team is red.
    ProtocolGridView(TSortGrid *grid, ProtocolModel &model, const int &laneCount, QObject *parent);
    ~ProtocolGridView() override;

    QStringView CellText(int col, int dataRow) const override;
    void CellWritten(int col, int dataRow, const QString &text) override;
    void RowsReordered(const std::vector<int> &from) override;

    // As after a sort by "Klasse": the arrow shows it.
    void ShowRankedOrder();
    // As many data rows as the model has, at once rather than when the
    // model's change is announced; the grid moves its current row when
    // rows go.
    void ShowRowCount();
    // The model's columns with their titles; true when they changed.
    bool ShowColumns();

signals:
    // Run columns came or went: the columns share the grid's width anew.
    void columnsChanged();

private:
    void Configure();
    void Follow(const ProtocolChange &change);

    // The grid may go first while the window closes.
    QPointer<TSortGrid> m_grid;
    ProtocolModel &m_model;
    const int &m_laneCount;
};
