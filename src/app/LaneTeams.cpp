#include "app/LaneTeams.h"

#include "app/LaneSelectorModel.h"
#include "protocol/ProtocolModel.h"

#include <QComboBox>
#include <QListView>
#include <QScopedValueRollback>

// Both selectors show the one list of items; its items are all alike, so
// the drop-down need not measure each of them.
LaneTeams::LaneTeams(ProtocolModel &model, const std::array<QComboBox *, 2> &selectors,
                     QObject *parent)
    : QObject(parent), m_model(model), m_selectors(selectors),
      m_items(new LaneSelectorModel(model, this))
{
    for (int laneIndex : {0, 1}) {
        QComboBox *selector = Selector(laneIndex);
        selector->setModel(m_items);
        if (auto *list = qobject_cast<QListView *>(selector->view()))
            list->setUniformItemSizes(true);
        connect(selector, &QComboBox::currentIndexChanged, this, [this, laneIndex](int position) {
            if (!m_following)
                m_model.SetLaneRow(laneIndex, position);
        });
    }
    connect(&model, &ProtocolModel::changed, this, &LaneTeams::Follow);
}

void LaneTeams::Follow(const ProtocolChange &change)
{
    const QScopedValueRollback<bool> following(m_following, true);
    if (change.wholeTable || m_items->rowCount() != m_model.TeamCount())
        m_items->Rebuild();
    else
        for (const int row : change.rows)
            m_items->RowChanged(row);
    ShowLanes();
}

void LaneTeams::ShowLanes()
{
    const int count = m_items->rowCount();
    for (int laneIndex : {0, 1}) {
        const int row = m_model.LaneRow(laneIndex);
        QComboBox *selector = Selector(laneIndex);
        const int position = row < count ? row : -1;
        if (selector->currentIndex() != position)
            selector->setCurrentIndex(position);
    }
}

void LaneTeams::EnableForTeams()
{
    const int count = m_model.TeamCount();
    m_selectors[0]->setEnabled(count >= 1);
    m_selectors[1]->setEnabled(count >= 2);
}

void LaneTeams::Disable()
{
    for (QComboBox *selector : m_selectors)
        selector->setEnabled(false);
}
