// The audience window opened with F7 beside the real main window, and a
// spectator's live page on the race network: both follow every step of a
// heat the operator takes, and the window stays readable across a hall and
// whole on a smaller screen.
#include "LivePageClient.h"
#include "MainWindowFixture.h"
#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "display/AudienceFeed.h"
#include "display/AudienceSource.h"
#include "display/AudienceWindow.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/SortGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

namespace {

// Team, time (or AUS/DIS), penalty and place of a lane on a live page.
QStringList PageLane(const LivePageClient &page, int laneIndex)
{
    const QJsonObject lane = page.State()[QStringLiteral("lanes")][laneIndex].toObject();
    const QString result = lane[QStringLiteral("result")].toString();
    return {lane[QStringLiteral("team")][QStringLiteral("teamName")].toString(),
            result.isEmpty() ? lane[QStringLiteral("time")].toString() : result,
            lane[QStringLiteral("penalty")].toString(), lane[QStringLiteral("place")].toString()};
}

quint16 FreePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

} // namespace

class TestAudienceWindow : public QObject
{
    Q_OBJECT

    MainWindowFixture m_window;

    AudienceWindow *OpenAudience()
    {
        m_window.Form()->show();
        if (!QTest::qWaitForWindowActive(m_window.Form()))
            return nullptr;
        m_window.Key(Qt::Key_F7);
        return m_window.Form()->AudienceScreen;
    }

    // Live results on, as the settings dialog switches them on.
    quint16 ServeLivePage()
    {
        TFormMain *form = m_window.Form();
        form->Settings.AnzeigeNetz = 1;
        // A port found free may be taken by another program (a test running
        // beside this one) before the server has it: then another one.
        for (int attempt = 0; attempt < 5 && form->LivePageAddresses.isEmpty(); ++attempt) {
            form->Settings.AnzeigePort = FreePort();
            form->ApplyLiveResults();
        }
        return quint16(form->Settings.AnzeigePort);
    }

    // What one lane of the audience window shows: team, time, penalty, place.
    static QStringList Lane(const AudienceWindow *audience, int laneIndex)
    {
        const AudienceWindow::LaneTexts lane = audience->ShownLane(laneIndex);
        return {lane.team, lane.time, lane.penalty, lane.place};
    }

    // The grid row of the team.
    int RowOf(const QString &teamName) const
    {
        const TSortGrid *grid = m_window.Form()->SortGrid1;
        for (int row = 1; row < grid->RowCount(); ++row) {
            if (grid->Cells(ColTeamName, row) == teamName)
                return row;
        }
        return -1;
    }

private slots:
    void initTestCase() { m_window.Enter(); }
    void init() { m_window.Open(); }
    void cleanup() { m_window.Close(); }

    void followsAWholeHeat_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("point");
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << ",";
        QTest::newRow("C") << QLocale::c() << ".";
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << ".";
    }

    void followsAWholeHeat()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, point);
        const auto t = [&](const char *text) {
            return QString::fromLatin1(text).replace(',', point);
        };
        m_window.Load(MainWindowFixture::Teams({"Blitz", "Donner", "Hagel", "Regen"}));
        MainWindowFixture::UseLocale(locale);
        TFormMain *form = m_window.Form();
        ScopedFakePlatform &clock = m_window.Platform();
        const quint16 port = ServeLivePage();
        AudienceWindow *audience = OpenAudience();
        QVERIFY(audience && audience->isVisible());
        QCOMPARE(audience->windowTitle(), QStringLiteral("Anzeige"));
        LivePageClient page(port);
        // Where spectators find the page, on the big screen too.
        const QString address = QStringLiteral(":%1/").arg(port);
        const QList<const QLabel *> shown = audience->ShownLabels();
        QVERIFY(std::any_of(shown.begin(), shown.end(),
                            [&](const QLabel *label) { return label->text().contains(address); }));
        QVERIFY(form->statusBar()->currentMessage().contains(address));

        QTRY_COMPARE(Lane(audience, 0), QStringList({"1  Blitz", t("0,00"), "", ""}));
        QCOMPARE(audience->ShownLane(0).details, QStringLiteral("Rennspur 1 · Klasse 1"));
        QCOMPARE(audience->ShownLane(0).driver, QStringLiteral("Fahrer1"));
        QCOMPARE(audience->ShownNextUp(),
                 QStringList({"Rennspur 1:  3  Hagel", "Rennspur 2:  4  Regen"}));

        // The running time goes with the operator's clock.
        m_window.Key(Qt::Key_F5);
        clock.AdvanceTick(1234);
        QTRY_COMPARE(Lane(audience, 0), QStringList({"1  Blitz", t("1,23"), "", ""}));
        clock.AdvanceTick(2222);
        QTRY_COMPARE(audience->ShownLane(1).time, t("3,45"));
        // Clicked on, the audience window passes the race keys on.
        audience->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), audience);
        QVERIFY(qt_sendShortcutOverrideEvent(audience, 0, Qt::Key_1, Qt::AltModifier));
        clock.AdvanceTick(544);
        QTRY_COMPARE(audience->ShownLane(1).time, t("4,00"));
        form->mStop2->trigger();
        QTRY_COMPARE(Lane(audience, 0), QStringList({"1  Blitz", t("3,45"), "", ""}));
        QCOMPARE(Lane(audience, 1), QStringList({"2  Donner", t("4,00"), "", ""}));
        QTRY_COMPARE(PageLane(page, 1), QStringList({"Donner", t("4,00"), "", ""}));

        // Penalty and drop-out, then the reset: the heat stays with its places.
        form->bStrafe15_2->click();
        QTRY_COMPARE(audience->ShownLane(1).penalty, QStringLiteral("+15"));
        form->sb1del->click();
        QTRY_COMPARE(audience->ShownLane(0).time, QStringLiteral("AUS"));
        form->mReset->trigger();
        QTRY_COMPARE(Lane(audience, 1), QStringList({"2  Donner", t("4,00"), "+15", "Platz 1"}));
        QCOMPARE(Lane(audience, 0), QStringList({"1  Blitz", "AUS", "", ""}));
        QTRY_COMPARE(PageLane(page, 1), QStringList({"Donner", t("4,00"), "+15", "1"}));
        QCOMPARE(PageLane(page, 0), QStringList({"Blitz", "AUS", "", ""}));
        QCOMPARE(audience->ShownNextUp(),
                 QStringList({"Rennspur 1:  3  Hagel", "Rennspur 2:  4  Regen"}));

        // A re-run: Blitz again on lane 1; its new time replaces the old result.
        m_window.PutOnLane(1, QStringLiteral("Blitz"));
        form->mStart->trigger();
        QTRY_COMPARE(Lane(audience, 0), QStringList({"1  Blitz", t("0,00"), "", ""}));
        clock.AdvanceTick(2500);
        form->mSTOP1->trigger();
        clock.AdvanceTick(3000);
        form->mStop2->trigger();
        form->mReset->trigger();
        QTRY_COMPARE(Lane(audience, 0), QStringList({"1  Blitz", t("2,50"), "", "Platz 1"}));
        QCOMPARE(Lane(audience, 1), QStringList({"4  Regen", t("5,50"), "", "Platz 2"}));

        // A corrected time shows at once and counts in the standings; a
        // removed row leaves the heat that ran.
        QTest::mouseClick(form->cbEditON, Qt::LeftButton);
        m_window.EditCell(ColZeit, RowOf(QStringLiteral("Blitz")), t("9,87"));
        QTRY_COMPARE(audience->ShownLane(0).time, t("9,87"));
        QTRY_COMPARE(PageLane(page, 0), QStringList({"Blitz", t("9,87"), "", "1"}));
        form->SortGrid1->SetRow(RowOf(QStringLiteral("Regen")));
        m_window.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        form->sbCLS->click();
        QTRY_COMPARE(Lane(audience, 1), QStringList({"", "", "", ""}));
        QTRY_COMPARE(PageLane(page, 1), QStringList({"", "", "", ""}));

        // A while without a heat: the standings, ranked per class.
        QTest::mouseClick(form->cbEditON, Qt::LeftButton);
        clock.AdvanceTick(AudienceSource::StandingsAfterMs);
        QTRY_COMPARE(audience->ShownStandings(),
                     QStringList({"Platz | Nr. | TeamName | Total", "Klasse 1",
                                  t("1 | 1 | Blitz | 9,87"), t("2 | 2 | Donner | 19,00")}));
        QVERIFY(form->mStart->isEnabled());
        form->mStart->trigger();
        QTRY_VERIFY(audience->ShownStandings().isEmpty());
    }

    // A new list after a heat and its reset: the lanes show the new list's
    // teams, as the operator's lanes do, never the old heat's places.
    void followsANewList()
    {
        m_window.Load(MainWindowFixture::Teams({"Blitz", "Donner", "Hagel", "Regen"}));
        AudienceWindow *audience = OpenAudience();
        QVERIFY(audience);
        m_window.Heat(1000, 2000);
        m_window.Heat(3000, 4000);
        QTRY_COMPARE(Lane(audience, 0).first(), QStringLiteral("3  Hagel"));
        m_window.Platform().QueueDialogResult(TFDlgYesNo::ResultYes);
        m_window.Load(MainWindowFixture::Teams({"Eins", "Zwei", "Drei", "Vier", "Fünf"}),
                      QStringLiteral("Zweite.txt"));
        QTRY_COMPARE(Lane(audience, 0).first(), QStringLiteral("1  Eins"));
        QCOMPARE(Lane(audience, 1).first(), QStringLiteral("2  Zwei"));
    }

    // A long list: the top of each class, best first, teams without a
    // result left out, whatever the order of the rows.
    void standingsShowTheTopOfEachClass()
    {
        QStringList lines;
        const auto team = [&](int nr, int klasse, const QString &total) {
            lines << QStringLiteral("%1\tTeam %1\t%2\tFahrer\t\t\t%3\t0,00\t%3\t")
                         .arg(nr)
                         .arg(klasse)
                         .arg(total);
        };
        for (int nr = 1; nr <= 130; ++nr)
            team(nr, 1, QStringLiteral("%1,00").arg(200 - nr));
        team(131, 2, QStringLiteral("9,50"));
        team(132, 1, QString());
        team(133, 2, QStringLiteral("DIS"));
        team(134, 2, QStringLiteral("8,25"));
        m_window.Load(lines);
        const AudienceFeed *feed = m_window.Form()->Audience;
        QTRY_COMPARE(feed->View().standings.size(), 2);
        const AudienceClassStandings &first = feed->View().standings[0];
        QCOMPARE(first.rows.size(), AudienceStandingsPerClass);
        QCOMPARE(first.rows.first(), (AudienceStandingsRow{"1", "130", "Team 130", "70,00"}));
        QCOMPARE(first.rows.last().nr, QStringLiteral("31"));
        const QList<AudienceStandingsRow> second = feed->View().standings[1].rows;
        QCOMPARE(second.size(), 3);
        QCOMPARE(second[0].nr + second[1].nr + second[2].nr, QStringLiteral("134131133"));
    }

    // With one screen a window beside the operator's; with a second one it
    // fills that one, fills any screen but the operator's it is moved to,
    // and opens next time as it was left.
    void fillsTheOtherScreenAndKeepsIt()
    {
        m_window.Form()->Settings.AudienceScreen.clear();
        AudienceWindow *audience = OpenAudience();
        QVERIFY(audience);
        QScreen *operatorScreen = m_window.Form()->screen();
        const QList<QScreen *> screens = QGuiApplication::screens();
        if (screens.size() < 2) {
            QVERIFY(!audience->isFullScreen());
            return;
        }
        QScreen *hall = screens[screens[0] == operatorScreen ? 1 : 0];
        QTRY_VERIFY(audience->isFullScreen());
        QCOMPARE(audience->screen(), hall);
        QTest::keyClick(audience, Qt::Key_Escape);
        QTRY_VERIFY(!audience->isFullScreen());
        audience->windowHandle()->setScreen(operatorScreen);
        QVERIFY(!audience->isFullScreen());
        audience->windowHandle()->setScreen(hall);
        QTRY_VERIFY(audience->isFullScreen());
        QTest::keyClick(audience, Qt::Key_F11);
        QTRY_VERIFY(!audience->isFullScreen());

        m_window.Close();
        m_window.Open(false);
        audience = OpenAudience();
        QVERIFY(audience);
        QCOMPARE(audience->screen(), hall);
        QVERIFY(!audience->isFullScreen());
    }

    // On one screen beside the operator's window where the screen has room
    // (run on a wide screen too), and never over the race controls.
    void oneScreenLeavesTheRaceControlsFree()
    {
        TFormMain *form = m_window.Form();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const QRect available = form->screen()->availableGeometry();
        form->setGeometry(
            QRect(available.topLeft(), QSize(form->minimumWidth(), available.height())));
        AudienceWindow *audience = OpenAudience();
        QVERIFY(audience);
        QVERIFY(!audience->isFullScreen());
        const QRect shown = audience->frameGeometry();
        QVERIFY(available.contains(shown));
        QVERIFY(!shown.intersects(form->RaceControlsOnScreen()));
        if (available.right() - form->frameGeometry().right() >= AudienceWindow::LeastRoom.width())
            QVERIFY(!shown.intersects(form->frameGeometry()));
    }

    // A re-run: its new total shows without a place until the reset ranks.
    void placeOnlyWithTheTotalThatEarnedIt()
    {
        m_window.Load(MainWindowFixture::Teams({"Blitz", "Donner", "Hagel", "Regen"}));
        const AudienceFeed *feed = m_window.Form()->Audience;
        const auto standings = [feed] {
            QStringList rows;
            for (const AudienceClassStandings &klasse : feed->View().standings)
                for (const AudienceStandingsRow &row : klasse.rows)
                    rows << row.platz + " " + row.teamName + " " + row.total;
            return rows;
        };
        m_window.Heat(5000, 6000);
        QTRY_COMPARE(standings(), QStringList({"1 Blitz 5,00", "2 Donner 6,00"}));
        m_window.PutOnLane(2, QStringLiteral("Donner"));
        m_window.Heat(7000, 4000, false);
        QTRY_COMPARE(standings(), QStringList({" Donner 4,00", "1 Blitz 5,00", " Hagel 7,00"}));
        m_window.Form()->mReset->trigger();
        QTRY_COMPARE(standings(), QStringList({"1 Donner 4,00", "2 Blitz 5,00", "3 Hagel 7,00"}));
    }

    // The live page on IPv4 alone, its texts cut to what a page can take,
    // and a state still too large for the pages told on the status line.
    void livePageStaysWithinItsBounds()
    {
        QStringList lines;
        for (int nr = 1; nr <= 15; ++nr)
            lines << QStringLiteral("%1\t%2\t1\tFahrer").arg(nr).arg(QString(100000, u'W'));
        m_window.Load(lines);
        const quint16 port = ServeLivePage();
        QTcpSocket ipv6;
        ipv6.connectToHost(QHostAddress::LocalHostIPv6, port);
        QVERIFY(!ipv6.waitForConnected(5000));
        LivePageClient page(port);
        QTRY_COMPARE(page.Messages().size(), 1);
        QCOMPARE(PageLane(page, 0)[0], QString(AudienceTextLimit - 1, u'W') + QChar(0x2026));

        // 1200 teams in 20 classes, numbers and names of three-byte characters.
        const QString wide(AudienceTextLimit, QChar(0x20AC));
        lines.clear();
        for (int nr = 1; nr <= 1200; ++nr)
            lines << QStringLiteral("%1%2\t%2\t%3\tFahrer\t\t\t10,00\t0,00\t10,00\t")
                         .arg(nr)
                         .arg(wide)
                         .arg(nr % 20);
        m_window.Load(lines);
        QTRY_COMPARE(m_window.StatusText(),
                     QStringLiteral("Anzeige im Netz: Stand zu groß für die Seiten"));
    }

    void readableAcrossAHallAndWholeOnASmallerScreen_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("standings");
        for (const QSize size : {QSize(1920, 1080), QSize(1280, 720)}) {
            const QByteArray name =
                QByteArray::number(size.width()) + "x" + QByteArray::number(size.height());
            QTest::newRow(name + " heat") << size << false;
            QTest::newRow(name + " standings") << size << true;
        }
    }

    void readableAcrossAHallAndWholeOnASmallerScreen()
    {
        QFETCH(QSize, size);
        QFETCH(bool, standings);
        QStringList teams;
        for (int i = 0; i < 40; ++i)
            teams << QStringLiteral("%1\tDie Wilden Hühner vom Oberdorf %1\t%2\tMaximiliane "
                                    "Müller-Lüdenscheidt")
                         .arg(i + 1)
                         .arg(i % 3 + 1);
        m_window.Load(teams);
        TFormMain *form = m_window.Form();
        // The page's address and QR code take a corner of the screen.
        ServeLivePage();
        AudienceWindow *audience = OpenAudience();
        QVERIFY(audience);
        audience->resize(size);
        for (int heat = 0; heat < 8; ++heat)
            m_window.Heat(123456, 99990);
        if (standings) {
            m_window.Platform().AdvanceTick(AudienceSource::StandingsAfterMs);
            QTRY_VERIFY(audience->ShownStandings().size() > 10);
        } else {
            QTRY_COMPARE(audience->ShownLane(0).time, QStringLiteral("123,45"));
            form->mStart->trigger();
            m_window.Platform().AdvanceTick(100000);
            QTRY_COMPARE(audience->ShownLane(0).time, QStringLiteral("100,00"));
            if (size.width() >= 1920)
                QVERIFY2(audience->DigitHeight() >= 200,
                         qPrintable(QString::number(audience->DigitHeight())));
        }
        const QRect window = audience->rect();
        QVERIFY(window.contains(audience->ShownQrCode()));
        const QList<const QLabel *> shown = audience->ShownLabels();
        for (const QLabel *label : shown) {
            const QFontMetrics metrics(label->font());
            const QRect room = label->contentsRect();
            const QString what =
                label->text() + QStringLiteral(" at ") + QString::number(label->font().pixelSize());
            QVERIFY2(window.contains(label->geometry()), qPrintable(what));
            const qsizetype lines = label->text().count(QLatin1Char('\n')) + 1;
            QVERIFY2(metrics.size(0, label->text()).width() <= room.width() &&
                         metrics.height() * lines <= room.height(),
                     qPrintable(what + " is cut off"));
            if (size.width() >= 1920 && (label->text().contains(QStringLiteral("Wilden")) ||
                                         label->text().contains(QStringLiteral("Müller"))))
                QVERIFY2(label->font().pixelSize() >= 48, qPrintable(what));
            for (const QLabel *other : shown)
                QVERIFY2(other == label || !other->geometry().intersects(label->geometry()),
                         qPrintable(what + " overlaps " + other->text()));
            QVERIFY2(!audience->ShownQrCode().intersects(label->geometry()),
                     qPrintable(what + " overlaps the QR code"));
        }
    }
};

QTEST_MAIN(TestAudienceWindow)
#include "tst_AudienceWindow.moc"
