// The audience window: labels placed and sized by the window's own size.
#include "display/AudienceWindow.h"

#include "display/AudienceFeed.h"
#include "platform/Platform.h"
#include "race/RaceTime.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

// The window is designed for 1920 x 1080; everything scales with it.
constexpr double DesignedWidth = 1920.0;
constexpr double DesignedHeight = 1080.0;
// Font pixel sizes at the designed size.
constexpr int TimePx = 290; // digits over 200 pixels high
// With several runs per team the time leaves room for the runs below it.
constexpr int RunsTimePx = 250;
constexpr int TeamPx = 72;
constexpr int TextPx = 48;
constexpr int ResultPx = 84;
constexpr int TitlePx = 56;
constexpr int AddressPx = 28;
constexpr int QrPx = 180;
constexpr int MarginPx = 24;
constexpr QSize WindowedSize(960, 540);

const QColor Background(Qt::black);
const QColor TextColour(Qt::white);
const QColor DetailColour(210, 210, 210);
const QColor TimeColour(255, 255, 0);
const QColor PenaltyColour(255, 120, 64);
const QColor PlaceColour(96, 255, 96);
const QColor TitleColour(0, 220, 255);

const QString Separator = QStringLiteral(" · ");

QFont AudienceFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, pixelSize));
    font.setBold(bold);
    return font;
}

int LineHeight(int pixelSize, bool bold = true)
{
    return QFontMetrics(AudienceFont(pixelSize, bold)).height();
}

// The room the text takes: its longest line by its lines.
QSize TextSize(const QFontMetrics &metrics, const QString &text)
{
    return {metrics.size(0, text).width(),
            metrics.height() * int(text.count(QLatin1Char('\n')) + 1)};
}

// The label's text (one line or more) in the largest font up to pixelSize
// that fits its rect.
void FitText(QLabel *label, int pixelSize)
{
    QFont font = AudienceFont(pixelSize, label->font().bold());
    const QRect room = label->contentsRect();
    const QString text = label->text();
    for (int size = pixelSize; size > 6; --size) {
        font.setPixelSize(size);
        const QSize need = TextSize(QFontMetrics(font), text);
        const int width = need.width();
        if (width <= room.width() && need.height() <= room.height())
            break;
        // Far too wide: straight to about the size that fits.
        if (width > 2 * room.width() && room.width() > 0)
            size = std::max(7, size * room.width() / width + 1);
    }
    label->setFont(font);
}

void Place(QLabel *label, int x, int y, int width, int pixelSize)
{
    label->setGeometry(x, y, std::max(0, width), LineHeight(pixelSize));
    FitText(label, pixelSize);
}

QString TeamLine(const AudienceTeam &team)
{
    return team.nr + QStringLiteral("  ") + team.teamName;
}

QString LaneName(int lane)
{
    return QStringLiteral("Rennspur %1").arg(lane);
}

bool SeveralRuns(const AudienceView &view)
{
    return !view.run.isEmpty() || std::any_of(view.lanes.begin(), view.lanes.end(), [](auto &l) {
        return !l.runs.isEmpty() || !l.score.isEmpty();
    });
}

// "Lauf 1: 40,00   Lauf 2: 41,50   Total: 81,50": the runs with a result.
QString RunsLine(const AudienceLane &lane)
{
    QStringList parts;
    for (int run = 0; run < lane.runs.size(); ++run) {
        if (!lane.runs[run].isEmpty())
            parts << QStringLiteral("Lauf %1: %2").arg(QString::number(run + 1), lane.runs[run]);
    }
    if (!lane.score.isEmpty())
        parts << QStringLiteral("Total: ") + lane.score;
    return parts.join(QStringLiteral("   "));
}

} // namespace

AudienceWindow::AudienceWindow(const AudienceFeed *feed, QWidget *parent)
    : QWidget(parent, Qt::Window), m_feed(feed), m_frame(new QTimer(this)),
      m_pageTurn(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Anzeige"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Background);
    setPalette(palette);
    setAutoFillBackground(true);
    // The operator's keys stay with the operator's window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(WindowedSize);
    for (LaneLabels &lane : m_lanes) {
        lane.team = MakeLabel(TextColour, Qt::AlignLeft | Qt::AlignVCenter);
        lane.details = MakeLabel(DetailColour, Qt::AlignLeft | Qt::AlignVCenter);
        lane.driver = MakeLabel(TextColour, Qt::AlignLeft | Qt::AlignVCenter);
        lane.time = MakeLabel(TimeColour, Qt::AlignRight | Qt::AlignVCenter);
        lane.penalty = MakeLabel(PenaltyColour, Qt::AlignLeft | Qt::AlignVCenter);
        lane.place = MakeLabel(PlaceColour, Qt::AlignLeft | Qt::AlignVCenter);
        lane.runs = MakeLabel(TextColour, Qt::AlignLeft | Qt::AlignVCenter);
        lane.details->setFont(AudienceFont(TextPx, false));
        lane.driver->setFont(AudienceFont(TextPx, false));
    }
    m_nextTitle = MakeLabel(TitleColour, Qt::AlignLeft | Qt::AlignVCenter);
    m_nextTitle->setText(QStringLiteral("Als Nächstes"));
    for (QLabel *&next : m_next)
        next = MakeLabel(TextColour, Qt::AlignLeft | Qt::AlignVCenter);
    m_standingsTitle = MakeLabel(TitleColour, Qt::AlignLeft | Qt::AlignVCenter);
    m_standingsTitle->setText(QStringLiteral("Wertung"));
    m_run = MakeLabel(TitleColour, Qt::AlignRight | Qt::AlignVCenter);
    m_address = MakeLabel(DetailColour, Qt::AlignRight | Qt::AlignBottom);
    m_address->setFont(AudienceFont(AddressPx, false));
    m_qr = new QLabel(this);
    m_qr->hide();

    m_frame->setInterval(FrameMs);
    m_frame->setTimerType(Qt::PreciseTimer);
    connect(m_frame, &QTimer::timeout, this, &AudienceWindow::ShowRunningTimes);
    m_pageTurn->setInterval(PageMs);
    connect(m_pageTurn, &QTimer::timeout, this, &AudienceWindow::ShowNextPage);
    connect(feed, &AudienceFeed::ViewChanged, this, &AudienceWindow::ShowView);
    ShowView();
}

QLabel *AudienceWindow::MakeLabel(const QColor &colour, Qt::Alignment alignment)
{
    auto *label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    label->setFont(AudienceFont(TextPx, true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

// --- what is shown ---------------------------------------------------------

void AudienceWindow::ShowView()
{
    // A closed window does nothing until it is shown again.
    if (!isVisible()) {
        m_frame->stop();
        m_pageTurn->stop();
        return;
    }
    m_view = m_feed->View();
    for (int lane = 0; lane < int(m_lanes.size()); ++lane)
        ShowLane(lane, lane < m_view.lanes.size() ? m_view.lanes[lane] : AudienceLane{});
    ShowNextUpTeams();
    m_run->setText(m_view.run);
    const bool running = std::any_of(m_view.lanes.begin(), m_view.lanes.end(), [](const auto &l) {
        return l.phase == AudienceLanePhase::Running;
    });
    if (running && !m_view.showStandings)
        m_frame->start();
    else
        m_frame->stop();
    ShowRunningTimes();
    m_page = 0;
    LayOut();
}

void AudienceWindow::ShowLane(int laneIndex, const AudienceLane &lane)
{
    const LaneLabels &labels = m_lanes[std::size_t(laneIndex)];
    const bool empty = lane.phase == AudienceLanePhase::Empty;
    labels.team->setText(empty ? QString() : TeamLine(lane.team));
    labels.details->setText(empty ? LaneName(lane.lane)
                                  : LaneName(lane.lane) + Separator + QStringLiteral("Klasse ") +
                                        lane.team.klasse);
    labels.driver->setText(lane.team.fahrer);
    QString time;
    if (lane.phase == AudienceLanePhase::Ready)
        time = FormatRaceTime(0);
    else if (!lane.result.isEmpty())
        time = lane.result;
    else
        time = lane.time;
    labels.time->setText(time);
    labels.penalty->setText(lane.penalty);
    labels.place->setText(lane.place.isEmpty() ? QString() : QStringLiteral("Platz ") + lane.place);
    labels.runs->setText(RunsLine(lane));
}

void AudienceWindow::ShowNextUpTeams()
{
    for (int lane = 0; lane < int(m_next.size()); ++lane) {
        const QList<AudienceTeam> teams =
            lane < m_view.nextUp.size() ? m_view.nextUp[lane] : QList<AudienceTeam>{};
        QStringList names;
        for (const AudienceTeam &team : teams)
            names << TeamLine(team);
        m_next[std::size_t(lane)]->setText(
            LaneName(lane + 1) + QStringLiteral(":  ") +
            (names.isEmpty() ? QStringLiteral("–") : names.join(QStringLiteral(", "))));
    }
}

// The same tick and the same text as the operator's clock and protocol.
void AudienceWindow::ShowRunningTimes()
{
    const std::uint32_t now = CurrentPlatform().TickCount();
    for (int lane = 0; lane < m_view.lanes.size() && lane < int(m_lanes.size()); ++lane) {
        const AudienceLane &shown = m_view.lanes[lane];
        if (shown.phase != AudienceLanePhase::Running)
            continue;
        QLabel *time = m_lanes[std::size_t(lane)].time;
        const QString text = FormatRaceTime(ElapsedMs(shown.startTick, now));
        if (text == time->text())
            continue;
        const int pixelSize = time->property("fullPixelSize").toInt();
        time->setText(text);
        if (pixelSize > 0)
            FitText(time, pixelSize);
    }
}

QList<QList<AudienceWindow::StandingsLine>> AudienceWindow::StandingsPages() const
{
    const int perPage = std::max(3, StandingsLinesPerPage());
    const StandingsLine captions{{QStringLiteral("Platz"), QStringLiteral("Nr."),
                                  QStringLiteral("TeamName"), QStringLiteral("Total")},
                                 LineKind::Captions};
    QList<QList<StandingsLine>> pages;
    for (const AudienceClassStandings &standings : m_view.standings) {
        const StandingsLine heading{{QStringLiteral("Klasse ") + standings.klasse},
                                    LineKind::Heading};
        for (const AudienceStandingsRow &row : standings.rows) {
            // A page starts with the captions and its class, and a class
            // never ends on its heading.
            const bool first = &row == &standings.rows.first();
            if (pages.isEmpty() || pages.last().size() >= perPage ||
                (first && pages.last().size() + 2 > perPage))
                pages.append({captions});
            if (pages.last().size() == 1 || first)
                pages.last().append(heading);
            pages.last().append({{row.platz, row.nr, row.teamName, row.total}, LineKind::Team});
        }
    }
    return pages;
}

void AudienceWindow::ShowStandingsPage()
{
    const QList<QList<StandingsLine>> pages = StandingsPages();
    if (pages.size() > 1 && m_view.showStandings) {
        if (!m_pageTurn->isActive())
            m_pageTurn->start();
    } else {
        m_pageTurn->stop();
    }
    const QList<StandingsLine> page =
        pages.isEmpty() ? QList<StandingsLine>{} : pages[m_page % pages.size()];
    for (int line = 0; line < m_standingsLines.size(); ++line) {
        const StandingsLine shown = line < page.size() ? page[line] : StandingsLine{};
        const std::array<QLabel *, 4> &labels = m_standingsLines[line];
        for (int cell = 0; cell < 4; ++cell) {
            labels[std::size_t(cell)]->setText(cell < shown.cells.size() ? shown.cells[cell]
                                                                         : QString());
            labels[std::size_t(cell)]->setVisible(m_view.showStandings &&
                                                  (cell == 0 || shown.kind != LineKind::Heading));
        }
        const QColor colour = shown.kind == LineKind::Heading    ? TitleColour
                              : shown.kind == LineKind::Captions ? DetailColour
                                                                 : TextColour;
        for (QLabel *label : labels) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, colour);
            label->setPalette(palette);
        }
    }
}

void AudienceWindow::ShowNextPage()
{
    ++m_page;
    LayOut();
}

void AudienceWindow::SetNetworkAddress(const QString &address, const QImage &qr)
{
    m_address->setText(address);
    m_qrImage = address.isEmpty() ? QImage() : qr;
    LayOut();
}

// --- layout ------------------------------------------------------------------

void AudienceWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ShowView();
}

void AudienceWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    ShowView();
}

void AudienceWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void AudienceWindow::LayOut()
{
    const double unit = std::min(width() / DesignedWidth, height() / DesignedHeight);
    const bool standings = m_view.showStandings;
    for (const LaneLabels &lane : m_lanes) {
        for (QLabel *label :
             {lane.team, lane.details, lane.driver, lane.time, lane.penalty, lane.place, lane.runs})
            label->setVisible(!standings);
    }
    for (QLabel *label : {m_nextTitle, m_next[0], m_next[1]})
        label->setVisible(!standings);
    m_standingsTitle->setVisible(standings);
    PlaceNetworkAddress(unit);
    if (standings)
        LayOutStandings(unit);
    else
        LayOutHeat(unit);
}

void AudienceWindow::PlaceNetworkAddress(double unit)
{
    const bool shown = !m_address->text().isEmpty();
    m_address->setVisible(shown);
    m_qr->setVisible(shown && !m_qrImage.isNull());
    if (!shown)
        return;
    const int margin = int(MarginPx * unit);
    const int qrSide = m_qrImage.isNull() ? 0 : int(QrPx * unit);
    if (!m_qrImage.isNull()) {
        // Whole pixels per module keep the code sharp for a camera.
        const int scale = std::max(1, qrSide / std::max(1, m_qrImage.width()));
        const QImage sharp =
            m_qrImage.scaled(m_qrImage.size() * scale, Qt::KeepAspectRatio, Qt::FastTransformation);
        m_qr->setPixmap(QPixmap::fromImage(sharp));
        m_qr->setGeometry(width() - margin - sharp.width(), height() - margin - sharp.height(),
                          sharp.width(), sharp.height());
    }
    // As large as its lines, so "Als Nächstes" keeps the rest of the width.
    const QSize need =
        TextSize(QFontMetrics(AudienceFont(int(AddressPx * unit), false)), m_address->text());
    const int addressHeight = need.height();
    const int addressWidth = std::min(int(width() * 0.3), need.width() + 1);
    m_address->setGeometry(width() - margin - qrSide - margin - addressWidth,
                           height() - margin - addressHeight, addressWidth, addressHeight);
    FitText(m_address, int(AddressPx * unit));
}

// "Lauf 2 von 3" at the right end of the top line (linePx high), when
// shown; returns the width it takes from that line.
int AudienceWindow::PlaceRun(double unit, int linePx)
{
    m_run->setVisible(!m_view.run.isEmpty());
    if (m_view.run.isEmpty())
        return 0;
    const int margin = int(MarginPx * unit);
    const int runPx = int(TitlePx * unit);
    const int runWidth = std::min(
        width() / 3, TextSize(QFontMetrics(AudienceFont(runPx, true)), m_view.run).width() + 1);
    m_run->setGeometry(width() - margin - runWidth, margin, runWidth, LineHeight(linePx));
    FitText(m_run, runPx);
    return runWidth + margin;
}

// Per lane the team across the width, below it the time on the left and
// the lane, class, driver, penalty and place on the right, and with several
// runs the team's runs below them; then who is next.
void AudienceWindow::LayOutHeat(double unit)
{
    const int margin = int(MarginPx * unit);
    const bool severalRuns = SeveralRuns(m_view);
    const int timePx = int((severalRuns ? RunsTimePx : TimePx) * unit);
    const int runRoom = PlaceRun(unit, int(TeamPx * unit));
    const int textPx = int(TextPx * unit);
    const int timeWidth = width() / 2 - margin;
    const int infoLeft = timeWidth + 2 * margin;
    const int infoWidth = width() - infoLeft - margin;
    const int lanes = std::clamp(int(m_view.lanes.size()), 1, 2);
    int y = margin;
    for (int lane = 0; lane < 2; ++lane) {
        const LaneLabels &labels = m_lanes[std::size_t(lane)];
        if (lane >= lanes) {
            for (QLabel *label : {labels.team, labels.details, labels.driver, labels.time,
                                  labels.penalty, labels.place, labels.runs})
                label->hide();
            continue;
        }
        Place(labels.team, margin, y, width() - 2 * margin - (lane == 0 ? runRoom : 0),
              int(TeamPx * unit));
        y += labels.team->height();
        labels.time->setProperty("fullPixelSize", timePx);
        Place(labels.time, margin, y, timeWidth, timePx);
        int infoY = y + int(8 * unit);
        Place(labels.details, infoLeft, infoY, infoWidth, textPx);
        infoY += labels.details->height();
        Place(labels.driver, infoLeft, infoY, infoWidth, textPx);
        infoY += labels.driver->height() + int(8 * unit);
        Place(labels.penalty, infoLeft, infoY, infoWidth / 3, int(ResultPx * unit));
        Place(labels.place, infoLeft + infoWidth / 3, infoY, infoWidth - infoWidth / 3,
              int(ResultPx * unit));
        y += labels.time->height();
        labels.runs->setVisible(severalRuns);
        if (severalRuns) {
            Place(labels.runs, margin, y, width() - 2 * margin, textPx);
            y += labels.runs->height();
        }
        y += int(16 * unit);
    }
    // The live page's address keeps its corner.
    const int nextWidth =
        width() - 2 * margin -
        (m_address->isVisible() ? width() - m_address->geometry().left() + margin : 0);
    Place(m_nextTitle, margin, y, nextWidth, textPx);
    y += m_nextTitle->height();
    for (int lane = 0; lane < 2; ++lane) {
        m_next[std::size_t(lane)]->setVisible(lane < lanes);
        Place(m_next[std::size_t(lane)], margin + int(24 * unit), y, nextWidth - int(24 * unit),
              textPx);
        y += m_next[std::size_t(lane)]->height();
    }
    for (const std::array<QLabel *, 4> &line : m_standingsLines) {
        for (QLabel *label : line)
            label->hide();
    }
    m_pageTurn->stop();
}

int AudienceWindow::StandingsLinesPerPage() const
{
    const double unit = std::min(width() / DesignedWidth, height() / DesignedHeight);
    const int top = int(MarginPx * unit) + LineHeight(int(TitlePx * unit));
    const int bottom = int(MarginPx * unit) + (m_address->text().isEmpty() ? 0 : int(QrPx * unit));
    return std::max(1, (height() - top - bottom) / LineHeight(int(TextPx * unit)));
}

void AudienceWindow::LayOutStandings(double unit)
{
    const int margin = int(MarginPx * unit);
    const int runRoom = PlaceRun(unit, int(TitlePx * unit));
    Place(m_standingsTitle, margin, margin, width() - 2 * margin - runRoom, int(TitlePx * unit));
    const int perPage = StandingsLinesPerPage();
    while (m_standingsLines.size() < perPage) {
        std::array<QLabel *, 4> line{};
        for (int cell = 0; cell < 4; ++cell)
            line[std::size_t(cell)] = MakeLabel(
                TextColour, (cell == 3 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        m_standingsLines.append(line);
    }
    while (m_standingsLines.size() > perPage) {
        for (QLabel *label : m_standingsLines.takeLast())
            delete label;
    }
    // The cells of a line stand in their columns; a class heading spans them.
    const int inner = width() - 2 * margin;
    const std::array<int, 5> columnLeft = {0, inner * 12 / 100, inner * 24 / 100, inner * 76 / 100,
                                           inner};
    ShowStandingsPage();
    const int textPx = int(TextPx * unit);
    int y = m_standingsTitle->geometry().bottom() + 1;
    for (const std::array<QLabel *, 4> &line : m_standingsLines) {
        const bool heading = line[1]->isHidden();
        for (int cell = 0; cell < 4; ++cell) {
            const int right = heading && cell == 0 ? inner : columnLeft[std::size_t(cell) + 1];
            Place(line[std::size_t(cell)], margin + columnLeft[std::size_t(cell)], y,
                  right - columnLeft[std::size_t(cell)] - int(16 * unit), textPx);
        }
        y += LineHeight(textPx);
    }
}

// --- the window itself ---------------------------------------------------------

QRect PlaceBesideOperator(const QRect &available, const QRect &operatorFrame,
                          const QRect &keepClear, QSize wanted)
{
    const int LeastWidth = AudienceWindow::LeastRoom.width();
    const int LeastHeight = AudienceWindow::LeastRoom.height();
    QRect place(QPoint(), wanted.boundedTo(available.size()));
    const int right = available.right() - operatorFrame.right();
    const int left = operatorFrame.left() - available.left();
    if (std::max(left, right) >= LeastWidth) {
        place.setWidth(std::min(place.width(), std::max(left, right)));
        place.moveLeft(right >= left ? operatorFrame.right() + 1
                                     : operatorFrame.left() - place.width());
        place.moveTop(std::clamp(operatorFrame.top(), available.top(),
                                 available.bottom() + 1 - place.height()));
        return place;
    }
    // Over the operator's window: above what must stay clear, or where
    // there is no room for that, below it.
    const int above = keepClear.top() - available.top();
    const bool up = above >= LeastHeight || keepClear.isEmpty();
    const int room = up ? (keepClear.isEmpty() ? available.height() : above)
                        : available.bottom() - keepClear.bottom();
    place.setHeight(std::clamp(room, 1, place.height()));
    place.moveTop(up ? available.top() : keepClear.bottom() + 1);
    place.moveLeft(available.left() + (available.width() - place.width()) / 2);
    return place;
}

void AudienceWindow::ShowOn(const QString &screenName, bool fullScreen,
                            const QWidget *operatorWindow, const QRect &keepClear)
{
    m_operatorWindow = operatorWindow;
    QScreen *operatorScreen = OperatorScreen();
    QScreen *target = nullptr;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *screen : screens) {
        if (screen->name() == screenName && !screenName.isEmpty())
            target = screen;
    }
    // A screen not (or no longer) known: another screen than the
    // operator's, full screen; without one a window beside the operator's.
    if (!target) {
        for (QScreen *screen : screens) {
            if (screen != operatorScreen && !target)
                target = screen;
        }
        fullScreen = target != nullptr;
    }
    if (!target)
        target = operatorScreen;
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    if (target) {
        const QRect available = target->availableGeometry();
        QRect bounds(QPoint(), WindowedSize.boundedTo(available.size()));
        bounds.moveCenter(available.center());
        // Placed with its frame, which is taken to be as the operator's.
        if (target == operatorScreen && operatorWindow) {
            const QRect frame = operatorWindow->frameGeometry();
            const QRect inner = operatorWindow->geometry();
            bounds = PlaceBesideOperator(available, frame, keepClear, WindowedSize)
                         .marginsRemoved(QMargins(
                             inner.left() - frame.left(), inner.top() - frame.top(),
                             frame.right() - inner.right(), frame.bottom() - inner.bottom()));
        }
        setGeometry(bounds);
        create();
        windowHandle()->setScreen(target);
    }
    if (fullScreen)
        showFullScreen();
    else
        show();
    raise();
    // Connected after the window is placed: only a move by hand counts.
    connect(windowHandle(), &QWindow::screenChanged, this, &AudienceWindow::MovedToScreen,
            Qt::UniqueConnection);
}

void AudienceWindow::MovedToScreen(QScreen *screen)
{
    if (screen && screen != OperatorScreen() && !isFullScreen())
        showFullScreen();
}

QScreen *AudienceWindow::OperatorScreen() const
{
    return m_operatorWindow ? m_operatorWindow->screen() : QGuiApplication::primaryScreen();
}

QString AudienceWindow::ScreenName() const
{
    return screen() ? screen()->name() : QString();
}

void AudienceWindow::ToggleFullScreen()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

void AudienceWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F11)
        ToggleFullScreen();
    else if (event->key() == Qt::Key_Escape && isFullScreen())
        showNormal();
    else
        QWidget::keyPressEvent(event);
}

void AudienceWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    ToggleFullScreen();
    event->accept();
}

// --- for checks ------------------------------------------------------------------

AudienceWindow::LaneTexts AudienceWindow::ShownLane(int laneIndex) const
{
    const LaneLabels &labels = m_lanes[std::size_t(laneIndex)];
    if (!labels.time->isVisibleTo(this))
        return {};
    return {labels.team->text(), labels.details->text(), labels.driver->text(),
            labels.time->text(), labels.penalty->text(), labels.place->text(),
            labels.runs->text()};
}

QStringList AudienceWindow::ShownNextUp() const
{
    QStringList shown;
    for (const QLabel *next : m_next) {
        if (next->isVisibleTo(this))
            shown << next->text();
    }
    return shown;
}

QStringList AudienceWindow::ShownStandings() const
{
    QStringList shown;
    for (const std::array<QLabel *, 4> &line : m_standingsLines) {
        QStringList cells;
        for (const QLabel *label : line) {
            if (label->isVisibleTo(this))
                cells << label->text();
        }
        while (!cells.isEmpty() && cells.last().isEmpty())
            cells.removeLast();
        if (!cells.isEmpty())
            shown << cells.join(QStringLiteral(" | "));
    }
    return shown;
}

QList<const QLabel *> AudienceWindow::ShownLabels() const
{
    QList<const QLabel *> shown;
    for (const QLabel *label : findChildren<QLabel *>()) {
        if (label->isVisibleTo(this) && !label->text().isEmpty())
            shown << label;
    }
    return shown;
}

QRect AudienceWindow::ShownQrCode() const
{
    return m_qr->isVisibleTo(this) ? m_qr->geometry() : QRect();
}

int AudienceWindow::DigitHeight() const
{
    return QFontMetrics(m_lanes[0].time->font())
        .tightBoundingRect(QStringLiteral("0123456789"))
        .height();
}
