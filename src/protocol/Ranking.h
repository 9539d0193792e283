// Ranking of the protocol: rows sorted by class and total, places counted
// per class.
#pragma once

#include "protocol/ProtocolTable.h"

// Stable sort by "Klasse" (numeric order), then by "Total"
// (CompareResultText), rows equal in both keep their order.
void SortProtocolRows(ProtocolTable &table);

// Competition ranking per class over rows already in ranking order: equal
// totals share the place of the first of them and the next total takes its
// position in the class (1, 1, 3). A row without a total gets an empty
// "Platz", so no stale place survives an edit; "AUS" and "DIS" rows keep
// their "Platz" cell.
void AssignPlaces(ProtocolTable &table);

// SortProtocolRows, then AssignPlaces.
void RankProtocol(ProtocolTable &table);
