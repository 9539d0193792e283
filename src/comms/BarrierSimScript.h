// What the barrier simulator tool sends for one line the operator typed:
// "dsr pulse 3 times every 1500 ms" becomes timed on/off switches of the
// line, as a beam interrupted three times would give.
#pragma once

#include <QString>
#include <vector>

struct SimStep
{
    int delayMs = 0; // wait this long before sending
    QString command; // device command; empty for a pure wait
};

// Understands (lane1 = dsr, lane2 = cts, both = cts and dsr together):
//   <line> on | off | toggle
//   <line> pulse [<n> times] [every <ms> ms] [width <ms> ms]
//   wait <ms> [ms] | status | unplug
// A pulse switches the line and back after the width (default 100 ms);
// width 0 gives both switches at once, shorter than any reading.
// Returns false and says why when the line makes no sense.
bool PlanSimCommand(const QString &text, std::vector<SimStep> &steps, QString &error);
