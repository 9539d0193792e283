#include "display/AudienceServer.h"

#include "display/AudienceFeed.h"
#include "display/AudienceService.h"

#include "race/RaceTime.h"

namespace {

// The running clock writes its seconds as the protocol's times do; read on
// the program's thread, where the protocol sets it.
QString DecimalPoint()
{
    return QString(RaceTimeDecimalMark());
}

} // namespace

AudienceServer::AudienceServer(const AudienceFeed &feed, TickSource ticks, QObject *parent)
    : QObject(parent),
      m_service(new AudienceService(feed.View(), DecimalPoint(), std::move(ticks), [this] {
          QMetaObject::invokeMethod(
              this, [this] { emit StateTooLarge(); }, Qt::QueuedConnection);
      }))
{
    m_service->moveToThread(&m_thread);
    // The service goes on its own thread, after its loop ended.
    connect(&m_thread, &QThread::finished, m_service, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("live server"));
    m_thread.start();
    // Each view travels as a value (its lists are shared, not copied).
    connect(&feed, &AudienceFeed::ViewChanged, this, [this, &feed] {
        QMetaObject::invokeMethod(m_service,
                                  [service = m_service, view = feed.View(),
                                   point = DecimalPoint()] { service->Show(view, point); });
    });
}

AudienceServer::~AudienceServer()
{
    m_thread.quit();
    m_thread.wait();
}

bool AudienceServer::Listen(const QHostAddress &address, quint16 port)
{
    bool listening = false;
    QMetaObject::invokeMethod(
        m_service, [&] { listening = m_service->Listen(address, port); },
        Qt::BlockingQueuedConnection);
    return listening;
}

void AudienceServer::Close()
{
    QMetaObject::invokeMethod(
        m_service, [this] { m_service->Close(); }, Qt::BlockingQueuedConnection);
}

bool AudienceServer::IsListening() const
{
    return m_service->listening;
}

quint16 AudienceServer::Port() const
{
    return m_service->port;
}

int AudienceServer::PageCount() const
{
    return m_service->pages;
}

int AudienceServer::ConnectionCount() const
{
    return m_service->connections;
}
