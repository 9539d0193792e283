// The protocol grid's own set-up and its ranking where the rows stand:
// what the protocol controller asks of the grid itself, apart from the
// lanes and the change notification.
#pragma once

#include "protocol/ProtocolTable.h"
#include "widgets/SortCompare.h"

#include <vector>

class TSortGrid;

// Columns, header row, sort keys, options and font of the protocol grid.
void ConfigureProtocolGrid(TSortGrid *grid);

// The cells of one grid row.
ProtocolRow ProtocolGridRow(const TSortGrid *grid, int row);

// How a header click sorts the column.
TSortStyle ProtocolGridSortStyle(int column);

// Moves the grid's rows into their ranked order (class, then total) and
// writes the places that change; call inside the grid's update bracket.
// For each data row before, its row after (index 0 unused).
std::vector<int> PutRowsInRankedOrder(TSortGrid *grid);

// As after a sort by "Klasse": the arrow shows it.
void ShowRankedOrder(TSortGrid *grid);
