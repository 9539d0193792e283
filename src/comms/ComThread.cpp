// The watcher thread of a TComPort.
#include "comms/ComThread.h"

#include "platform/TickClock.h"

#include <cerrno>

using namespace std::chrono_literals;

namespace {

// Drivers without a modem-status interrupt (cp210x and others) are read this often.
constexpr auto PollInterval = 1ms;
// A stop signal can arrive just before the thread enters its wait; it is
// sent again this often until the thread has ended.
constexpr auto StopRetryInterval = 5ms;
// Far more than any barrier gives; only a hung GUI thread fills it.
constexpr std::size_t MaxQueued = 4096;
// Readings of levels and counters taken before the last one is used as it is.
constexpr int MaxReadAttempts = 4;

} // namespace

TComThread::TComThread(std::shared_ptr<SerialDevice> device, TEvents events,
                       std::function<void()> notify)
    : m_device(std::move(device)), m_events(events), m_notify(std::move(notify))
{}

TComThread::~TComThread()
{
    Stop();
}

void TComThread::Start()
{
    m_thread = std::thread([this] { Run(); });
}

void TComThread::Stop()
{
    if (!m_thread.joinable())
        return;
    std::unique_lock lock(m_mutex);
    m_stop = true;
    m_changed.notify_all();
    while (!m_finished) {
        lock.unlock();
        m_device->InterruptWait();
        lock.lock();
        m_changed.wait_for(lock, StopRetryInterval, [this] { return m_finished; });
    }
    lock.unlock();
    m_thread.join();
}

std::optional<TComThread::Entry> TComThread::TakeNext()
{
    std::lock_guard lock(m_mutex);
    if (m_queue.empty())
        return std::nullopt;
    Entry entry = m_queue.front();
    m_queue.pop_front();
    return entry;
}

bool TComThread::StopRequested()
{
    std::lock_guard lock(m_mutex);
    return m_stop;
}

void TComThread::Run()
{
    bool polling = false;
    LineReading last;
    int error = Read(last, polling);
    bool readAgain = false;
    while (error == 0 && !StopRequested()) {
        const bool woken = !readAgain;
        if (woken) {
            error = WaitForWake(polling);
            if (error == EINTR) {
                error = 0;
                readAgain = true;
                continue;
            }
            if (error)
                break;
        }
        // Tick and levels first: they are what the handlers will go by.
        const std::uint32_t tick = CurrentTickClock().TickCount();
        LineReading now;
        error = Read(now, polling);
        if (error)
            break;
        LineChangeCount count = CountLineChanges(last, now);
        last = now;
        // A wait takes its own starting point, so a switch that comes after
        // this reading and before the next wait begins would not wake it: it
        // would reach the handlers only with the switch after it, stamped
        // late, or not at all without counters. So read once more after a
        // wake, and again as long as the readings change, before waiting.
        readAgain = !polling && (woken || count.Any());
        if (!(m_events & EventBit(evCTS)))
            count.cts = 0;
        if (!(m_events & EventBit(evDSR)))
            count.dsr = 0;
        if (!count.Any() || StopRequested())
            continue;
        std::vector<Entry> entries;
        for (const LineChange &change : ExpandLineChanges(count, tick, now.status))
            entries.push_back({false, 0, change});
        Push(std::move(entries));
    }
    if (error && !StopRequested())
        Push({Entry{true, error, {}}});
    std::lock_guard lock(m_mutex);
    m_finished = true;
    m_changed.notify_all();
}

int TComThread::WaitForWake(bool &polling)
{
    if (!polling) {
        const int result = m_device->WaitForChange();
        if (result != ENOTTY && result != EINVAL)
            return result;
        polling = true;
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, PollInterval, [this] { return m_stop; });
    return m_stop ? EINTR : 0;
}

int TComThread::Read(LineReading &reading, bool polling)
{
    // Drivers that cannot wait do not count edges either; their counters
    // would stand still and hide every change.
    ModemEdgeCounters before;
    reading.hasCounters = !polling && m_device->ReadEdgeCounters(before);
    // Levels and counters are two reads: a switch between them would be
    // counted with the level from before it. Counters that agree on both
    // sides of the levels vouch for them; a line gone wild gets a few tries.
    for (int attempt = 0;; ++attempt) {
        if (const int error = m_device->ReadModemStatus(reading.status))
            return error;
        if (!reading.hasCounters)
            return 0;
        reading.hasCounters = m_device->ReadEdgeCounters(reading.counters);
        if (!reading.hasCounters || attempt == MaxReadAttempts - 1 ||
            (reading.counters.cts == before.cts && reading.counters.dsr == before.dsr))
            return 0;
        before = reading.counters;
    }
}

void TComThread::Push(std::vector<Entry> entries)
{
    bool wasEmpty = false;
    {
        std::lock_guard lock(m_mutex);
        wasEmpty = m_queue.empty();
        for (Entry &entry : entries) {
            if (m_queue.size() < MaxQueued || entry.deviceGone)
                m_queue.push_back(std::move(entry));
        }
    }
    if (wasEmpty && m_notify)
        m_notify();
}
