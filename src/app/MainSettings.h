// The settings the main window keeps between runs, and how they are read
// from and written to the settings store.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>

class QSettings;
struct RoundsSetup;

struct MainSettings
{
    static constexpr int LayoutRecordSize = 9648;

    int Port = 0;                              // 0 = none, n = COMn
    QString PortDevice;                        // device behind Port when it was stored
    int Alg = 0;                               // barrier contact mode
    QRect Bounds{395, 380, 808, 541};          // main window: left, top, width, height
    int FilterInd = 1;                         // save dialog's file type, 1-based
    int CountBahn = 2;                         // number of lanes
    int TimerGesperrt = 2000;                  // barrier lockout in milliseconds
    QByteArray Nadpis{LayoutRecordSize, '\0'}; // certificate layout record
    int Laps = 3;                              // barrier pulses that stop a lane
    QString AudienceScreen;                    // the audience window's screen ("": none yet)
    int AudienceFullScreen = 1;                // ... shown full screen (1) or as a window (0)
    int AnzeigeNetz = 0;                       // live results on the race network: 1 on
    int AnzeigePort = 8080;                    // ... on this port
    int Wertungslaeufe = 1;                    // timed runs per team, 1-4
    int Wertung = 0;                           // scoring of every class: 0 sum, 1 best, 2 spread
    int Bahnwechsel = 1;                       // 1: each run on the other lane
    QString WertungKlassen;                    // classes scored otherwise: "Open:2,5:1"
};

// Reads the values in their fixed order. The first integer value that is
// missing or not an integer ends the reading; the values after it keep what
// they had. An integer outside its range (lanes 1-2, laps 0-100, lockout
// 1-600 s, contact mode 0-2, file type 1-4, port 0-255, window position
// within +-1 000 000 and size 1-1 000 000 pixels) takes its default and the
// reading goes on (the audience window's full screen 0-1, live results on the network 0-1, their
// port 1-65535, the runs 1-4, their scoring 0-2, the lane change 0-1). A missing "Nadpis" is
// skipped; one that is not bytes or longer than the record ends the reading; a shorter one fills
// the record's start. A store that cannot be read leaves everything as it was.
void ReadMainSettings(QSettings &store, MainSettings &settings);

// Writes every value in the order the program has always written them;
// false when the store could not be written.
bool WriteMainSettings(QSettings &store, const MainSettings &settings);

// The runs as the protocol applies them: the stored values, with the class
// choices that read (see ReadClassScoring).
RoundsSetup RoundsOf(const MainSettings &settings);
// Keeps the runs as chosen, also a scoring that only counts with more runs.
void StoreRounds(MainSettings &settings, const RoundsSetup &rounds);
