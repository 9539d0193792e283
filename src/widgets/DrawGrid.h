#pragma once

#include "widgets/CustomDrawGrid.h"

// Publishes the properties and the mouse events the program uses.
class TMyDrawGrid : public TMyCustomDrawGrid
{
    Q_OBJECT
public:
    explicit TMyDrawGrid(QWidget *parent = nullptr);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

protected:
    void Click() override;
    void DblClick() override;
};
