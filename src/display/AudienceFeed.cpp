#include "display/AudienceFeed.h"

#include <utility>

AudienceFeed::AudienceFeed(QObject *parent) : QObject(parent) {}

void AudienceFeed::Publish(AudienceView view)
{
    if (view == m_view)
        return;
    m_view = std::move(view);
    emit ViewChanged();
}
