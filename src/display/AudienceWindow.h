// The audience window: the race for everyone watching, on a big screen.
// It shows the feed's view without any operator control, in large light
// text on black, scaled to the window: per lane the team and its time (the
// running time in step with the operator's clock), its penalty, AUS/DIS
// and after the reset its place, with several runs per team its runs so
// far and its score; below it who starts next. When the standings take the
// screen they are shown class by class, a page at a time. F11 or a double
// click toggles full screen, Escape leaves it.
#pragma once

#include "display/AudienceView.h"

#include <QImage>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>

class AudienceFeed;
class QLabel;
class QScreen;
class QTimer;

class AudienceWindow : public QWidget
{
    Q_OBJECT

public:
    // Less room than this beside the operator's window (width) or above
    // its race controls (height) is no room for the audience.
    static constexpr QSize LeastRoom{320, 180};

    // How often the running time is redrawn (ms), and how long a page of
    // the standings stays (ms).
    static constexpr int FrameMs = 20;
    static constexpr int PageMs = 10000;

    explicit AudienceWindow(const AudienceFeed *feed, QWidget *parent = nullptr);

    // The live page's address and its QR code, shown in a corner; an
    // empty address hides both.
    void SetNetworkAddress(const QString &address, const QImage &qr);

    // Shows the window on the screen of this name (another screen than
    // the operator's when there is none or it is gone), full screen or not.
    // On the operator's screen it never covers keepClear (global, the
    // operator's race controls): see PlaceBesideOperator.
    void ShowOn(const QString &screenName, bool fullScreen, const QWidget *operatorWindow,
                const QRect &keepClear = {});
    QString ScreenName() const;
    void ToggleFullScreen();
    // Moved by hand to a screen other than the operator's: full screen there.
    void MovedToScreen(QScreen *screen);

    // What the window shows, for checks: per lane its texts (team line,
    // lane and class, driver, time, penalty, place, runs and score) ...
    struct LaneTexts
    {
        QString team, details, driver, time, penalty, place, runs;
    };
    LaneTexts ShownLane(int laneIndex) const;
    // ... "Als Nächstes" per lane, and the standings page's lines, each
    // its texts joined by " | ".
    QStringList ShownNextUp() const;
    QStringList ShownStandings() const;
    // Every label the window shows now, and where the QR code is (empty
    // when none is shown).
    QList<const QLabel *> ShownLabels() const;
    QRect ShownQrCode() const;
    // The height of the running time's digits on the screen (pixels).
    int DigitHeight() const;
    void ShowNextPage();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    struct LaneLabels
    {
        QLabel *team = nullptr;
        QLabel *details = nullptr;
        QLabel *driver = nullptr;
        QLabel *time = nullptr;
        QLabel *penalty = nullptr;
        QLabel *place = nullptr;
        QLabel *runs = nullptr;
    };
    // One line of the standings: the column captions a page starts with, a
    // class heading, or a team's four cells.
    enum class LineKind { Captions, Heading, Team };
    struct StandingsLine
    {
        QStringList cells;
        LineKind kind = LineKind::Team;
    };

    QLabel *MakeLabel(const QColor &colour, Qt::Alignment alignment);
    void ShowView();
    void ShowLane(int laneIndex, const AudienceLane &lane);
    void ShowNextUpTeams();
    void ShowRunningTimes();
    void ShowStandingsPage();
    void LayOut();
    void LayOutHeat(double unit);
    void LayOutStandings(double unit);
    void PlaceNetworkAddress(double unit);
    int PlaceRun(double unit, int linePx);
    int StandingsLinesPerPage() const;
    // The screen of the operator's window (the primary one without it).
    QScreen *OperatorScreen() const;
    QList<QList<StandingsLine>> StandingsPages() const;

    const AudienceFeed *m_feed;
    AudienceView m_view;
    std::array<LaneLabels, 2> m_lanes;
    QLabel *m_nextTitle;
    std::array<QLabel *, 2> m_next{};
    QLabel *m_standingsTitle;
    QLabel *m_run; // "Lauf 2 von 3" at the top right
    // Per line of a standings page: Platz, Nr., TeamName, Total.
    QList<std::array<QLabel *, 4>> m_standingsLines;
    QLabel *m_address;
    QLabel *m_qr;
    QImage m_qrImage;
    QTimer *m_frame;
    QTimer *m_pageTurn;
    QPointer<const QWidget> m_operatorWindow;
    int m_page = 0;
};

// Where an audience window of the wanted size goes on the screen it shares
// with the operator's window (frame and keepClear in global coordinates):
// beside that window where the screen has room, else over its upper part
// down to keepClear, and only where there is no room above it, below it.
QRect PlaceBesideOperator(const QRect &available, const QRect &operatorFrame,
                          const QRect &keepClear, QSize wanted);
