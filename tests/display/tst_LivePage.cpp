// The live page in a real browser: Debian's headless Chromium loads it from
// the program's server with a finished heat and the standings, on a
// portrait phone and on a landscape screen. Team names, times and places
// must be on the page as text, and nothing may run out of its box.
#include "display/AudienceFeed.h"
#include "display/AudienceServer.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class tst_LivePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageShowsHeatAsTextWithoutOverflow_data();
    void pageShowsHeatAsTextWithoutOverflow();

private:
    // Runs the browser on the page; false when it did not end in time.
    bool Browse(const QStringList &arguments, QByteArray *output);

    QString m_browser;
    QTemporaryDir m_profile;
    AudienceFeed m_feed;
    AudienceServer m_server{m_feed, [] { return std::uint32_t(0); }};
};

void tst_LivePage::initTestCase()
{
    m_browser = QStandardPaths::findExecutable(QStringLiteral("chromium-headless-shell"));
    if (m_browser.isEmpty())
        QSKIP("chromium-headless-shell is not installed");
    m_feed.Publish(FinishedHeat());
    QVERIFY(m_server.Listen(QHostAddress::LocalHost, 0));
}

bool tst_LivePage::Browse(const QStringList &arguments, QByteArray *output)
{
    QProcess browser;
    browser.start(m_browser,
                  QStringList{"--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                              "--user-data-dir=" + m_profile.path(), "--virtual-time-budget=5000"} +
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

QTEST_MAIN(tst_LivePage)
#include "tst_LivePage.moc"
