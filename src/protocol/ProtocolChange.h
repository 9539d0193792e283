// What one change notification of the protocol covers, so that the
// recovery journal writes only that: the rows whose cells changed, or the
// whole table when rows may have come, gone or moved, or any cell anywhere
// may have changed. A notification with neither changed only the lanes'
// teams or the saved mark.
#pragma once

#include <vector>

struct ProtocolChange
{
    bool wholeTable = false;
    // Cells were edited or rows removed by hand: the texts exist nowhere
    // else. Without it a whole-table change only loaded, moved or ranked rows.
    bool cellsEdited = false;
    std::vector<int> rows; // the protocol's rows (0 = first team), when not wholeTable
    // When rows moved (a ranking, a sort) but none came or went: row k
    // came from movedFrom[k]. Empty otherwise.
    std::vector<int> movedFrom;
};
