// The lane selectors as views of the protocol model's lanes: both show
// the model's teams, each stands on its lane's team, and a team the
// operator picks goes to the model.
#pragma once

#include <QObject>
#include <array>

class LaneSelectorModel;
class ProtocolModel;
class QComboBox;
struct ProtocolChange;

class LaneTeams : public QObject
{
    Q_OBJECT

public:
    LaneTeams(ProtocolModel &model, const std::array<QComboBox *, 2> &selectors, QObject *parent);

    // Lane index 0 or 1.
    QComboBox *Selector(int laneIndex) const { return m_selectors[std::size_t(laneIndex)]; }
    // Each selector enabled when it has a team to offer: lane 2 needs a
    // second one.
    void EnableForTeams();
    // Both selectors unavailable.
    void Disable();

private:
    void Follow(const ProtocolChange &change);
    // Each selector on its lane's team.
    void ShowLanes();

    ProtocolModel &m_model;
    std::array<QComboBox *, 2> m_selectors;
    LaneSelectorModel *m_items;
    // The selectors are being set from the model: their changes are not the operator's.
    bool m_following = false;
};
