#include "MainWindowFixture.h"
#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/ProtocolController.h"
#include "comms/Comms.h"
#include "comms/FakeSerialDevice.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/Dmn_led.h"
#include "widgets/SortGrid.h"
#include "widgets/Udigit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cerrno>
#include <cstring>

class TestFMain : public QObject
{
    Q_OBJECT

    MainWindowFixture m_program;

    static QSettings Store() { return ProgramSettingsStore(); }

    void StoreLaneCount(int lanes)
    {
        QSettings store = Store();
        store.clear();
        const std::pair<const char *, int> values[] = {
            {"Port", 0},      {"Alg", 0},           {"Left", 0},
            {"Top", 0},       {"Width", 1000},      {"Height", 700},
            {"FilterInd", 1}, {"CountBahn", lanes}, {"TimerGesperrt", 2000}};
        for (const auto &[key, value] : values)
            store.setValue(key, value);
        store.sync();
    }

    // The first-run settings, and the window in its designed size within
    // what the screen offers.
    static void StartedWithDefaults(const TFormMain *form)
    {
        QCOMPARE(form->Settings.CountBahn, 2);
        QCOMPARE(form->Settings.Laps, 3);
        QCOMPARE(form->Settings.Alg, 0);
        QCOMPARE(form->Settings.Port, 0);
        QCOMPARE(form->TimerGesperrt1->interval(), 2000);
        QCOMPARE(form->TimerGesperrt2->interval(), 2000);
        QCOMPARE(form->size(),
                 QSize(808, 541).boundedTo(form->screen()->availableGeometry().size()));
    }

private slots:
    void initTestCase() { m_program.Enter(); }

    void init() { m_program.PrepareMachine(); }

    void cleanup() { m_program.Close(); }

    void firstRunStartsReadyWithDefaults()
    {
        m_program.Restart();
        TFormMain *form = m_program.Form();
        StartedWithDefaults(form);
        QVERIFY(form->windowTitle().endsWith(QStringLiteral(" 1.0")));
        QVERIFY(form->HelpFile.endsWith(form->ApplicationTitle + QStringLiteral(".hlp")));
        QVERIFY(form->ProtocolTemplatePath.endsWith(QStringLiteral("/Protokollvorlage.doc")));
        QCOMPARE(form->SaveDialog1.fileName, form->ApplicationTitle + QStringLiteral(".txt"));

        // Only F5 and the window's own keys are live before a list is loaded.
        QVERIFY(form->mStart->isEnabled());
        for (QAction *entry : {form->mFSTART, form->mSTOP1, form->mStop2, form->mReset})
            QVERIFY(!entry->isEnabled());
        QVERIFY(!form->bSTART->isEnabled());
        QVERIFY(!form->sbSave->isEnabled());
        QVERIFY(!form->cbBuhn1->isEnabled());
        QCOMPARE(form->SortGrid1->Cells(ColNr, 0), QStringLiteral("Nr."));
        QCOMPARE(form->SortGrid1->Cells(ColPlatz, 0), QStringLiteral("Platz"));
        QCOMPARE(form->cbEditON->text(), QStringLiteral("Änderungen vornehmen"));
        QCOMPARE(form->sbCLSall->toolTip(), QStringLiteral("Protokoll  löschen"));
    }

    void boundsAndSettingsWrittenAtExit()
    {
        m_program.Restart();
        m_program.Form()->Settings.Laps = 7;
        m_program.Form()->TimerGesperrt1->setInterval(5000);
        m_program.Form()->resize(900, 600);
        m_program.Quit();
        QSettings store = Store();
        QCOMPARE(store.value("Width").toInt(), 900);
        QCOMPARE(store.value("Height").toInt(), 600);
        QCOMPARE(store.value("Laps").toInt(), 7);
        QCOMPARE(store.value("TimerGesperrt").toInt(), 5000);
        QCOMPARE(store.value("Nadpis").toByteArray().size(), MainSettings::LayoutRecordSize);

        m_program.Restart();
        QCOMPARE(m_program.Form()->Settings.Laps, 7);
        QCOMPARE(m_program.Form()->TimerGesperrt2->interval(), 5000);
    }

    // A hand-edited store: every value out of its range. The window starts
    // with the defaults, on the screen, and writes sane values back.
    void outOfRangeSettingsStartWithDefaults()
    {
        {
            QSettings store = Store();
            const std::pair<const char *, int> values[] = {
                {"Port", 300},         {"Alg", 7},          {"Left", INT_MAX}, {"Top", INT_MIN},
                {"Width", INT_MAX},    {"Height", INT_MAX}, {"FilterInd", 99}, {"CountBahn", 0},
                {"TimerGesperrt", -1}, {"Laps", -5}};
            for (const auto &[key, value] : values)
                store.setValue(key, value);
            store.setValue("Nadpis", QByteArray(9648, 'n'));
        }
        m_program.Restart();
        TFormMain *form = m_program.Form();
        StartedWithDefaults(form);
        QCOMPARE(form->SaveDialog1.filterIndex, 1);
        QVERIFY(form->cbBuhn2->parentWidget()->isVisibleTo(form));
        m_program.Quit();
        QSettings store = Store();
        QCOMPARE(store.value("CountBahn").toInt(), 2);
        QCOMPARE(store.value("Laps").toInt(), 3);
        QCOMPARE(store.value("Width").toInt(),
                 std::min(808, QGuiApplication::primaryScreen()->availableGeometry().width()));
    }

    // Root ignores permission bits: a store below a regular file cannot be
    // written by anyone.
    void unwritableSettingsAreTold()
    {
        QFile blocker(m_program.Folder().FilePath("Sperre"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocker.fileName());
        m_program.Platform().messages.clear();
        m_program.Restart();
        m_program.Quit();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_program.Folder().Path());
        QCOMPARE(m_program.Platform().messages.size(), 1);
        QVERIFY2(m_program.Platform().messages[0].text.contains("Sperre/Chronalt"),
                 qPrintable(m_program.Platform().messages[0].text));
    }

    void laneCountShapesTheWindow_data()
    {
        QTest::addColumn<int>("lanes");
        QTest::newRow("two lanes") << 2;
        QTest::newRow("one lane") << 1;
    }
    void laneCountShapesTheWindow()
    {
        QFETCH(int, lanes);
        StoreLaneCount(lanes);
        m_program.Restart();
        TFormMain *form = m_program.Form();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const bool two = lanes == 2;
        for (QWidget *laneTwo : std::initializer_list<QWidget *>{
                 form->LabelBahn2, form->cbBuhn2, form->seObmen, form->PanelRI, form->sb2del,
                 form->sb1, form->sb2, form->PanelT2, form->LabelBahn1})
            QCOMPARE(laneTwo->isVisible(), two);
        QCOMPARE(form->bSTOP1->text(), two ? QStringLiteral("STOPP &1") : QStringLiteral("STOPP"));

        const int barWidth = form->Panel->width();
        if (two) {
            QCOMPARE(form->PanelLL->width(), (barWidth - 130) / 2);
            QCOMPARE(form->PanelRR->width(), form->PanelLL->width());
            QCOMPARE(form->PanelLE->width(), form->Panel7->width() / 2 - 2);
            QCOMPARE(form->PanelRI->width(), form->PanelLE->width());
        } else {
            QCOMPARE(form->PanelRR->width(), 43);
            QVERIFY(form->PanelLE->width() > form->Panel7->width() - 10);
        }
        QCOMPARE(form->bFSTART->geometry(), form->bSTART->geometry());

        form->resize(1200, 700);
        QTRY_COMPARE(form->Panel->width(), form->width());
        if (two)
            QCOMPARE(form->PanelLL->width(), (form->Panel->width() - 130) / 2);
        // The team name takes whatever the nine fixed columns leave.
        QCOMPARE(form->SortGrid1->ColWidths(1), form->SortGrid1->viewport()->width() - 600 - 10);
        QCOMPARE(form->SortGrid1->ColWidths(0), 47);
        QCOMPARE(form->SortGrid1->ColWidths(7), 77);
        // The columns fit, so no empty scroll bar stands under the protocol.
        QVERIFY(!form->SortGrid1->horizontalScrollBar()->isVisible());
    }

    void closeQueryOnlyWhileRaceRuns_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("questions");
        QTest::newRow("no race") << false << 0 << true << 0;
        QTest::newRow("race, Nein") << true << 2 << false << 1;
        QTest::newRow("race, Escape") << true << 0 << false << 1;
        QTest::newRow("race, Ja") << true << 6 << true << 1;
    }
    void closeQueryOnlyWhileRaceRuns()
    {
        QFETCH(bool, running);
        QFETCH(int, answer);
        m_program.Restart();
        TFormMain *form = m_program.Form();
        form->show();
        if (running)
            form->Clock->start();
        m_program.Platform().dialogsShown = 0;
        m_program.Platform().QueueDialogResult(answer);
        QTEST(form->close(), "closed");
        QTEST(m_program.Platform().dialogsShown, "questions");
        QCOMPARE(m_program.Windows().FDlgYesNo->Label1->text(), QStringLiteral("Beenden?"));
        m_program.Platform().dialogAnswers.clear();
    }

    // With results not saved anywhere, closing asks first; a running race
    // asks its own question instead.
    void closeQueryForAnUnsavedProtocol_data()
    {
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("question");
        const QString unsaved =
            QStringLiteral("Das Protokoll ist nicht gespeichert. Trotzdem beenden?");
        QTest::newRow("list only") << false << false << 2 << true << QString();
        QTest::newRow("time recorded, Nein") << true << false << 2 << false << unsaved;
        QTest::newRow("time recorded, Ja") << true << false << 6 << true << unsaved;
        QTest::newRow("time recorded and saved") << true << true << 2 << true << QString();
    }
    void closeQueryForAnUnsavedProtocol()
    {
        QFETCH(bool, recorded);
        QFETCH(int, answer);
        m_program.Restart();
        TFormMain *form = m_program.Form();
        form->show();
        QFile list(m_program.Folder().FilePath(QStringLiteral("Liste.txt")));
        QVERIFY(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
        list.write("1;A;1\n2;B;1\n");
        list.close();
        QVERIFY(form->Protocol->LoadStarterList(list.fileName()));
        if (recorded) {
            form->bSTART->click();
            m_program.Platform().AdvanceTick(5000);
            form->bSTOP1->click();
            form->bSTOP2->click();
            form->bRESET->click();
        }
        QFETCH(bool, saved);
        if (saved)
            form->Protocol->MarkProtocolSaved();
        QString asked;
        m_program.Platform().dialogAnswers.enqueue([&](QDialog *dialog) {
            asked = static_cast<TFDlgYesNo *>(dialog)->Label1->text();
            return answer;
        });
        QTEST(form->close(), "closed");
        QTEST(asked, "question");
        m_program.Platform().dialogAnswers.clear();
    }

    void datePanelShowsShortDateAndTime()
    {
        m_program.Restart();
        const QLocale locale;
        const QString text = m_program.Form()->PanelDate->text();
        QVERIFY(text.startsWith(locale.toString(QDate::currentDate(), QLocale::ShortFormat) +
                                QStringLiteral("   ")));
    }

    // The lockout LEDs are red rectangles (the top rows stay unpainted),
    // the digits drawn with the thinner stroke: the top segment of a lit
    // zero ends above y = 2 * 5 + 1.
    void displaysAsDesigned()
    {
        m_program.Restart();
        TFormMain *form = m_program.Form();
        for (TLed *led : {form->Led1, form->Led2}) {
            led->SetValue(true);
            const QImage image = led->grab().toImage();
            const QColor background = image.pixelColor(8, 0);
            QCOMPARE(image.pixelColor(8, 1), background);
            QCOMPARE(image.pixelColor(0, 3), QColor(128, 128, 128));
            QCOMPARE(image.pixelColor(15, 3), QColor(128, 128, 128));
            QCOMPARE(image.pixelColor(8, 8), QColor(255, 0, 0));
        }
        const QImage digit = form->Digit1_5->grab().toImage();
        const int middle = digit.width() / 2;
        const QColor yellow(255, 255, 0);
        int lit = 0;
        while (lit < digit.height() && digit.pixelColor(middle, lit + 1) == yellow)
            ++lit;
        QVERIFY2(lit >= 7 && lit <= 9, qPrintable(QString::number(lit)));
        QCOMPARE(digit.pixelColor(middle, 11), QColor(Qt::black));
    }

    void missingHelpFileIsReported()
    {
        m_program.Restart();
        m_program.Form()->HelpFile = m_program.Folder().FilePath("nichts.hlp");
        m_program.Platform().messages.clear();
        m_program.Form()->mHilfe->trigger();
        QCOMPARE(m_program.Platform().messages.size(), 1);
        QVERIFY(m_program.Platform().messages[0].text.contains(QStringLiteral("nichts.hlp")));
    }

    // A help button anywhere asks the main window for its help.
    void helpButtonsOpenTheWindowsHelp()
    {
        m_program.Restart();
        m_program.Form()->HelpFile = m_program.Folder().FilePath("fehlt.hlp");
        m_program.Platform().messages.clear();
        TBitBtnWithColor help(QStringLiteral("Hilfe"));
        help.SetKind(bkHelp);
        help.click();
        QCOMPARE(m_program.Platform().messages.size(), 1);
        QVERIFY(m_program.Platform().messages[0].text.contains(QStringLiteral("fehlt.hlp")));
    }

    // The icon is drawn, not just named: a missing image reader leaves it blank.
    void windowShowsProgramIcon()
    {
        m_program.Restart();
        const QImage icon = m_program.Form()->windowIcon().pixmap(QSize(64, 64)).toImage();
        QCOMPARE(icon.size(), QSize(64, 64));
        QCOMPARE(icon.pixelColor(4, 4).alpha(), 0);          // outside the watch
        QCOMPARE(icon.pixelColor(32, 60).name(), "#1f4e79"); // its rim
        QCOMPARE(icon.pixelColor(24, 30).name(), "#ffffff"); // its face
    }

    void portOpenFailureNotice_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("openError");
        QTest::addColumn<QString>("notice");
        QTest::newRow("no permission on a USB adapter")
            << "/dev/ttyUSB0" << EACCES
            << "Keine Berechtigung für /dev/ttyUSB0: Benutzer zur Gruppe dialout hinzufügen";
        QTest::newRow("not permitted on an on-board port")
            << "/dev/ttyS1" << EPERM
            << "Keine Berechtigung für /dev/ttyS1: Benutzer zur Gruppe dialout hinzufügen";
        QTest::newRow("held by another program")
            << "/dev/ttyUSB0" << EBUSY << "COM1 ist von einem anderen Programm belegt";
        QTest::newRow("gone: the system's reason")
            << "/dev/ttyUSB0" << ENOENT
            << "COM1 (/dev/ttyUSB0) lässt sich nicht öffnen: " +
                   QString::fromLocal8Bit(std::strerror(ENOENT));
    }
    void portOpenFailureNotice()
    {
        QFETCH(QString, device);
        QFETCH(int, openError);
        m_program.Platform().serialDevices = {device};
        m_program.Restart();
        TFormMain *form = m_program.Form();
        FakeSerialDevice::Behaviour behaviour;
        behaviour.openError = openError;
        form->ComPort->SetDeviceFactory(
            [&](const QString &) { return std::make_shared<FakeSerialDevice>(behaviour); });
        form->ComPort->SetPort(1);
        form->OpenComPort();
        QVERIFY(!form->ComPort->Connected());
        QTEST(form->statusBar()->currentMessage(), "notice");
    }
};

QTEST_MAIN(TestFMain)
#include "tst_FMain.moc"
