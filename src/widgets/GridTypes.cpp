#include "widgets/GridTypes.h"

int FollowMove(int index, int from, int to)
{
    if (index == from)
        return to;
    if (from < to && index > from && index <= to)
        return index - 1;
    if (to < from && index >= to && index < from)
        return index + 1;
    return index;
}
