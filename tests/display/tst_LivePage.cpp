// The live page in a real browser: Debian's headless Chromium loads it from
// the program's server with a finished heat and the standings, on a
// portrait phone and on a landscape screen. Team names, times and places
// must be on the page as text, and nothing may run out of its box. Without
// the program the clocks stand until the page has the race again, and a
// hall's screen is filled, the lanes on top. Several runs per team show on
// the page and in the audience window alike.
#include "HeadlessPage.h"
#include "display/AudienceFeed.h"
#include "display/AudienceMessages.h"
#include "display/AudienceServer.h"
#include "display/AudienceWindow.h"

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <memory>

namespace {

const QString Markup = QStringLiteral("<b>Fisch & Co</b>");
const QString LongName =
    QStringLiteral("Freiwillige Feuerwehr Unterschleißheim-Lohhof Mannschaft Zwei");

AudienceTeam Team(const QString &nr, const QString &name)
{
    return {nr, name, QStringLiteral("Damen"), QStringLiteral("Anna Beispiel")};
}

// Lane 1 finished first in its class after a penalty, lane 2 disqualified.
AudienceView FinishedHeat()
{
    AudienceView view;
    AudienceLane one;
    one.lane = 1;
    one.team = Team("7", Markup);
    one.phase = AudienceLanePhase::Finished;
    one.time = QStringLiteral("41,37");
    one.penalty = QStringLiteral("+15");
    one.place = QStringLiteral("1");
    AudienceLane two = one;
    two.lane = 2;
    two.team = Team("12", LongName);
    two.time = QStringLiteral("43,02");
    two.penalty.clear();
    two.result = QStringLiteral("DIS");
    two.place.clear();
    view.lanes = {one, two};
    view.nextUp = {{Team("3", QStringLiteral("Wellenreiter"))}, {Team("4", LongName)}};
    view.standings = {
        {QStringLiteral("Damen"), {{"1", "7", Markup, "56,37"}, {"2", "9", LongName, "58,90"}}}};
    return view;
}

// A team's second of three runs, or its one run.
AudienceView RunsView(bool severalRuns)
{
    AudienceView view;
    view.lanes = {{1, Team("7", "Blitz"), AudienceLanePhase::Finished, 0, "41,50", "", "", "",
                   severalRuns ? QList<QString>{"40,00", "41,50", ""} : QList<QString>{},
                   severalRuns ? "81,50" : ""}};
    view.run = severalRuns ? "Lauf 2 von 3" : "";
    return view;
}

} // namespace

class tst_LivePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageShowsHeatAsTextWithoutOverflow_data();
    void pageShowsHeatAsTextWithoutOverflow();
    void clocksStandWhileOfflineAndRaceReturns_data();
    void clocksStandWhileOfflineAndRaceReturns();
    void hallScreenKeepsLanesOnTopAndPagesStandings_data();
    void hallScreenKeepsLanesOnTopAndPagesStandings();
    void severalRunsShowOnPageAndWindow_data();
    void severalRunsShowOnPageAndWindow();

private:
    // Runs the browser on the page; false when it did not end in time.
    bool Browse(const QStringList &arguments, QByteArray *output);

    QString m_browser;
    QTemporaryDir m_profile;
    QString Url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.Port()); }

    std::atomic<std::uint32_t> m_tick = 1000000;
    AudienceFeed m_feed;
    AudienceServer m_server{m_feed, [this] { return m_tick.load(); }};
};

void tst_LivePage::initTestCase()
{
    m_browser = QStandardPaths::findExecutable(QStringLiteral("chromium-headless-shell"));
    if (m_browser.isEmpty())
        QSKIP("chromium-headless-shell is not installed");
    m_feed.Publish(FinishedHeat());
    QVERIFY(m_server.Listen(QHostAddress::LocalHost, 0));
}

// The page's scripts run 3 s of the browser's virtual time: less than the
// 5 s its connection is given to bring the state, as virtual time may run
// ahead of the connection's real time.
bool tst_LivePage::Browse(const QStringList &arguments, QByteArray *output)
{
    QProcess browser;
    browser.start(m_browser,
                  QStringList{"--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                              "--user-data-dir=" + m_profile.path(), "--virtual-time-budget=3000"} +
                      arguments +
                      QStringList{QStringLiteral("http://127.0.0.1:%1/").arg(m_server.Port())});
    // The server answers on this thread's event loop while the browser runs.
    const bool ended =
        QTest::qWaitFor([&] { return browser.state() == QProcess::NotRunning; }, 60000);
    if (!ended)
        browser.kill();
    browser.waitForFinished();
    *output = browser.readAllStandardOutput();
    return ended && browser.exitCode() == 0;
}

void tst_LivePage::pageShowsHeatAsTextWithoutOverflow_data()
{
    QTest::addColumn<QSize>("window");
    QTest::newRow("portrait phone") << QSize(390, 844);
    QTest::newRow("landscape screen") << QSize(1920, 1080);
}

void tst_LivePage::pageShowsHeatAsTextWithoutOverflow()
{
    QFETCH(QSize, window);
    const QString size =
        QStringLiteral("--window-size=%1,%2").arg(window.width()).arg(window.height());

    QByteArray dom;
    QVERIFY(Browse({size, "--dump-dom"}, &dom));
    const QStringList expected = {"7  &lt;b&gt;Fisch &amp; Co&lt;/b&gt;",
                                  "12  " + LongName,
                                  "41,37",
                                  "43,02",
                                  "+15",
                                  "DIS",
                                  "Platz 1",
                                  "Wellenreiter",
                                  "56,37",
                                  "58,90"};
    for (const QString &text : expected)
        QVERIFY2(QString::fromUtf8(dom).contains(text), qPrintable(text));
    QVERIFY2(!dom.contains("<b>"), "a team name became markup");
    QVERIFY2(dom.contains("data-overflow=\"no\""), dom.constData());
    QVERIFY(!dom.contains("Verbindung unterbrochen</div>") || dom.contains("hidden=\"\""));

    const QString shot = m_profile.filePath(QStringLiteral("page-%1.png").arg(window.width()));
    QByteArray ignored;
    QVERIFY(Browse({size, "--screenshot=" + shot}, &ignored));
    const QImage image(shot);
    QCOMPARE(image.size(), window);
}

void tst_LivePage::clocksStandWhileOfflineAndRaceReturns_data()
{
    QTest::addColumn<QSize>("window");
    QTest::newRow("portrait phone") << QSize(390, 844);
    QTest::newRow("landscape screen") << QSize(1920, 1080);
}

void tst_LivePage::clocksStandWhileOfflineAndRaceReturns()
{
    QFETCH(QSize, window);
    AudienceView view = FinishedHeat();
    view.lanes[0].phase = AudienceLanePhase::Running;
    view.lanes[0].startTick = m_tick - 7780;
    m_feed.Publish(view);
    const quint16 port = m_server.Port();
    HeadlessPage page(Url(), window);
    QVERIFY(page.Open());
    const QString live = QStringLiteral("document.documentElement.getAttribute('data-live')");
    const QString time = QStringLiteral("document.querySelector('[data-lane=\"1\"] .time')"
                                        ".textContent");
    QTRY_COMPARE(page.Evaluate(live).toString(), QStringLiteral("yes"));

    // The program is gone: the clock stands, greyed, and the page says so.
    m_server.Close();
    QTRY_COMPARE(page.Evaluate(live).toString(), QStringLiteral("no"));
    const QString stood = page.Evaluate(time).toString();
    QTest::qWait(300);
    QCOMPARE(page.Evaluate(time).toString(), stood);
    QCOMPARE(page.Evaluate(QStringLiteral("getComputedStyle(document.querySelector('.time'))"
                                          ".color"))
                 .toString(),
             QStringLiteral("rgb(119, 119, 119)"));
    QCOMPARE(page.Evaluate(QStringLiteral("document.getElementById('offline').hidden")), false);

    // Back, first on a port that takes the connection and never answers.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost, port));
    QTRY_VERIFY_WITH_TIMEOUT(silent.hasPendingConnections(), 10000);
    const std::unique_ptr<QTcpSocket> unanswered(silent.nextPendingConnection());
    silent.close();
    view.lanes[0].phase = AudienceLanePhase::Stopped;
    view.lanes[0].time = QStringLiteral("9,99");
    m_feed.Publish(view);
    QVERIFY(m_server.Listen(QHostAddress::LocalHost, port));
    QTRY_COMPARE_WITH_TIMEOUT(page.Evaluate(time).toString(), QStringLiteral("9,99"), 20000);
    QCOMPARE(page.Evaluate(live).toString(), QStringLiteral("yes"));
}

void tst_LivePage::hallScreenKeepsLanesOnTopAndPagesStandings_data()
{
    QTest::addColumn<QSize>("window");
    QTest::newRow("1920 x 1080") << QSize(1920, 1080);
    QTest::newRow("1280 x 720") << QSize(1280, 720);
}

// The standings taking the screen, more of them than fit.
void tst_LivePage::hallScreenKeepsLanesOnTopAndPagesStandings()
{
    QFETCH(QSize, window);
    AudienceView view = FinishedHeat();
    for (int row = 3; row <= 60; ++row)
        view.standings[0].rows.append({QString::number(row), QString::number(row), LongName,
                                       QStringLiteral("%1,00").arg(row + 60)});
    view.showStandings = true;
    m_feed.Publish(view);
    HeadlessPage page(Url(), window);
    QVERIFY(page.Open());
    QTRY_COMPARE(page.Evaluate(QStringLiteral("document.documentElement.getAttribute('data-live')"))
                     .toString(),
                 QStringLiteral("yes"));
    const QJsonObject shown =
        page.Evaluate(QStringLiteral(
                          "(function () {"
                          "  var box = function (s) { return document.querySelector(s)"
                          "      .getBoundingClientRect(); };"
                          "  var px = function (s) { return parseFloat(getComputedStyle("
                          "      document.querySelector(s)).fontSize); };"
                          "  var entries = document.querySelectorAll('#standings .entry');"
                          "  var visible = 0;"
                          "  for (var i = 0; i < entries.length; ++i)"
                          "    if (entries[i].getClientRects().length) ++visible;"
                          "  return { height: innerHeight, page: document.documentElement"
                          "      .scrollHeight, lanesBottom: box('#lanes').bottom,"
                          "    standingsTop: box('#standings').top, standingsBottom:"
                          "      box('#standings').bottom, time: px('.time'), team: px('.team'),"
                          "    name: px('#standings td:nth-child(3)'), entries: entries.length,"
                          "    visible: visible };"
                          "})()"))
            .toObject();
    const auto at = [&](const char *key) { return shown[QLatin1String(key)].toDouble(); };
    const QByteArray what = QJsonDocument(shown).toJson(QJsonDocument::Compact);
    QVERIFY2(at("lanesBottom") <= at("standingsTop"), what);
    QVERIFY2(at("page") <= at("height") && at("standingsBottom") <= at("height"), what);
    QVERIFY2(at("time") >= 0.12 * at("height"), what);
    QVERIFY2(at("team") >= 0.045 * at("height") && at("name") >= 0.03 * at("height"), what);
    QVERIFY2(at("visible") > 3 && at("visible") < at("entries"), what);
}

void tst_LivePage::severalRunsShowOnPageAndWindow_data()
{
    QTest::addColumn<QString>("shown"); // the heading, "|", the lane's runs
    QTest::newRow("one run") << "|";
    QTest::newRow("three runs") << "Lauf 2 von 3|Lauf 1: 40,00   Lauf 2: 41,50   Total: 81,50";
}

// The page follows from the other state, so the change goes both ways.
void tst_LivePage::severalRunsShowOnPageAndWindow()
{
    QFETCH(QString, shown);
    const bool severalRuns = shown != "|";
    if (!severalRuns) // the message as it has always been
        QCOMPARE(AudienceMessages::WholeSections(RunsView(false), ","),
                 R"({"decimalPoint":",","lanes":[{"lane":1,"penalty":"","phase":"finished",)"
                 R"("place":"","result":"","team":{"fahrer":"Anna Beispiel","klasse":"Damen",)"
                 R"("nr":"7","teamName":"Blitz"},"time":"41,50"}],"nextUp":[],)"
                 R"("showStandings":false,"standings":[],"whole":true})");

    m_feed.Publish(RunsView(!severalRuns));
    HeadlessPage page(Url(), QSize(390, 844));
    QVERIFY(page.Open());
    QTRY_VERIFY(page.Evaluate(QStringLiteral("document.documentElement.dataset.live")) == "yes");
    m_feed.Publish(RunsView(severalRuns));
    QTRY_COMPARE(page.Evaluate("((document.getElementById('run') || {}).textContent || '') + '|' +"
                               "[].map.call(document.querySelectorAll('.runs span'),"
                               "  function (s) { return s.textContent; }).join('   ')")
                     .toString(),
                 shown);

    AudienceWindow window(&m_feed);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.ShownLane(0).runs, shown.section('|', 1));
    const QList<const QLabel *> labels = window.ShownLabels();
    QCOMPARE(std::any_of(labels.begin(), labels.end(),
                         [](const QLabel *label) { return label->text() == "Lauf 2 von 3"; }),
             severalRuns);
}

QTEST_MAIN(tst_LivePage)
#include "tst_LivePage.moc"
