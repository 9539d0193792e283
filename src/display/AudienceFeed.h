// The one current audience view. The main window's side publishes every
// new view; the big-screen window and the network server read it and are
// told when it changed (an unchanged view is not passed on).
#pragma once

#include "display/AudienceView.h"

#include <QObject>

class AudienceFeed : public QObject
{
    Q_OBJECT

public:
    explicit AudienceFeed(QObject *parent = nullptr);

    const AudienceView &View() const { return m_view; }
    // Takes the view; tells ViewChanged only when it differs from the last.
    void Publish(AudienceView view);

signals:
    void ViewChanged();

private:
    AudienceView m_view;
};
