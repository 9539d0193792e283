// The watcher thread of a TComPort: waits for CTS/DSR changes on the
// device, stamps each with the tick and the levels read the moment it woke,
// and queues it for the GUI thread. It never waits for the GUI thread, so a
// busy screen delays the handlers but never the stamps.
#pragma once

#include "comms/Comms.h"
#include "comms/LineChanges.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// What the GUI thread takes from the watcher's queue: a line change, or the
// news that the device has gone (then nothing follows).
struct ComThreadEntry
{
    bool deviceGone = false;
    int error = 0;
    LineChange change;
};

class TComThread
{
public:
    using Entry = ComThreadEntry;

    // notify is called on the watcher thread when the queue stops being
    // empty; it must only post work to the GUI thread.
    TComThread(std::shared_ptr<SerialDevice> device, TEvents events, std::function<void()> notify);
    ~TComThread();

    void Start();
    // Returns once the thread has ended, whatever it was blocked in. What it
    // queued before stays in the queue.
    void Stop();
    std::optional<Entry> TakeNext();

private:
    void Run();
    int WaitForWake(bool &polling);
    int Read(LineReading &reading, bool polling);
    void Push(std::vector<Entry> entries);
    bool StopRequested();

    std::shared_ptr<SerialDevice> m_device;
    TEvents m_events = 0;
    std::function<void()> m_notify;
    std::thread m_thread;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stop = false;
    bool m_finished = false;
    std::deque<Entry> m_queue;
};
