#include "widgets/DrawGrid.h"

TMyDrawGrid::TMyDrawGrid(QWidget *parent) : TMyCustomDrawGrid(parent) {}

void TMyDrawGrid::Click()
{
    if (OnClick)
        OnClick(this);
}

void TMyDrawGrid::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}
