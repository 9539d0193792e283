// The main window's exchange with the settings dialog: what the dialog shows
// when it opens, what OK takes over (lockout, laps, lane count, port and
// contact mode) and what a cancel leaves alone. Ports are fake devices.
#include "MainWindowFixture.h"
#include "app/FMain.h"
#include "comms/Comms.h"
#include "comms/FakeSerialDevice.h"
#include "settings/CertificateLayout.h"
#include "settings/Cfg.h"
#include "widgets/ButtonWithColor.h"
#include "widgets/SortGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTcpServer>
#include <QTimer>
#include <QToolButton>
#include <QWebSocket>
#include <QtTest>

namespace {

const QStringList FakeDevices{"/dev/fake/ttyUSB0", "/dev/fake/ttyUSB1", "/dev/fake/ttyUSB2",
                              "/dev/fake/ttyUSB3", "/dev/fake/ttyUSB4"};

// Records which devices the window's port opened.
struct DeviceLog
{
    QStringList opened;
    void Attach(TComPort *port)
    {
        port->SetDeviceFactory([this](const QString &name) {
            opened << name;
            return std::make_shared<FakeSerialDevice>();
        });
    }
};

// What the operator does in the dialog before pressing a button.
using DialogAction = std::function<void(TCfgDialog *)>;

} // namespace

class TestSettingsExchange : public QObject
{
    Q_OBJECT

    MainWindowFixture m_program;

    static QSettings Store() { return ProgramSettingsStore(); }

    void StoreSettings(int port, const QString &device, int alg, int lockout)
    {
        QSettings store = Store();
        const std::pair<const char *, int> values[] = {
            {"Port", port},   {"Alg", alg},     {"Left", 0},
            {"Top", 0},       {"Width", 808},   {"Height", 541},
            {"FilterInd", 1}, {"CountBahn", 2}, {"TimerGesperrt", lockout}};
        for (const auto &[key, value] : values)
            store.setValue(key, value);
        store.setValue("PortDevice", device);
        store.sync();
    }

    // Queues the dialog's answer: the action runs on the filled-in dialog,
    // then OK or Abbrechen ends it.
    void Answer(int result, DialogAction action = {})
    {
        m_program.Platform().dialogAnswers.enqueue([result, action](QDialog *dialog) {
            auto *cfg = static_cast<TCfgDialog *>(dialog);
            if (action)
                action(cfg);
            (result == QDialog::Accepted ? cfg->OKBtn : cfg->CancelBtn)->click();
            return cfg->result();
        });
    }

private slots:
    void initTestCase() { m_program.Enter(); }

    void init()
    {
        m_program.PrepareMachine();
        m_program.Platform().serialDevices = FakeDevices;
    }

    void cleanup() { m_program.Close(); }

    void createdAfterTheMainWindowAndOpenedByAltE()
    {
        m_program.Restart();
        QVERIFY(m_program.Windows().CfgDialog);
        QCOMPARE(m_program.Form()->CfgDialog, m_program.Windows().CfgDialog);
        QCOMPARE(m_program.Windows().CfgDialog->parentWidget(), m_program.Form());
        QCOMPARE(m_program.Windows().CfgDialog->cbPort->count(), 1 + FakeDevices.size());
        m_program.Form()->show();
        m_program.Form()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_program.Form()));
        QDialog *shown = nullptr;
        m_program.Platform().dialogAnswers.enqueue([&shown](QDialog *dialog) {
            shown = dialog;
            return int(QDialog::Rejected);
        });
        QTest::keyClick(m_program.Form(), Qt::Key_E, Qt::AltModifier);
        QCOMPARE(shown, m_program.Windows().CfgDialog);
        QTest::mouseClick(m_program.Form()->bCFG, Qt::LeftButton);
        QCOMPARE(m_program.Platform().dialogsShown, 2);
    }

    void dialogFilledFromTheSettings_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("alg");
        QTest::addColumn<int>("lockout");
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("algEnabled");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("simulator");
        QTest::newRow("no port") << 0 << "" << 1 << 2000 << 0 << false << 2 << false;
        QTest::newRow("COM2 by its device")
            << 2 << FakeDevices[1] << 2 << 2500 << 2 << true << 2 << false;
        QTest::newRow("renumbered device found")
            << 1 << FakeDevices[3] << 1 << 7999 << 4 << true << 7 << false;
        QTest::newRow("stored device gone: the last port")
            << 3 << "/dev/fake/gone" << 0 << 1000 << 5 << true << 1 << false;
        QTest::newRow("barrier simulator: its COM1")
            << 0 << "" << 0 << 2000 << 1 << true << 2 << true;
    }
    void dialogFilledFromTheSettings()
    {
        QFETCH(int, port);
        QFETCH(QString, device);
        QFETCH(int, alg);
        QFETCH(int, lockout);
        QFETCH(int, item);
        QFETCH(bool, algEnabled);
        QFETCH(int, seconds);
        QFETCH(bool, simulator);
        StoreSettings(port, device, alg, lockout);
        const QString simDevice =
            QStringLiteral("sim:") + m_program.Folder().FilePath("barrier.sock");
        if (simulator) {
            qputenv("DUOBAHN_BARRIER_SIM", m_program.Folder().FilePath("barrier.sock").toUtf8());
            m_program.Platform().serialDevices.prepend(simDevice);
        }
        const auto restore = qScopeGuard([] { qunsetenv("DUOBAHN_BARRIER_SIM"); });
        m_program.Restart();
        TFormMain *form = m_program.Form();
        form->Settings.Laps = 17;
        int shownItem = -2, shownAlg = -2, shownSeconds = -2, shownLaps = -2;
        bool shownAlgEnabled = !algEnabled;
        Answer(QDialog::Rejected, [&](TCfgDialog *dialog) {
            shownItem = dialog->cbPort->currentIndex();
            shownAlg = dialog->cbAlg->currentIndex();
            shownAlgEnabled = dialog->cbAlg->isEnabled();
            shownSeconds = dialog->seTimeout->value();
            shownLaps = dialog->seLaps->value();
        });
        form->bCFGClick();
        QCOMPARE(shownItem, item);
        QCOMPARE(shownAlg, alg);
        QCOMPARE(shownAlgEnabled, algEnabled);
        QCOMPARE(shownSeconds, seconds);
        QCOMPARE(shownLaps, 17);
    }

    void okTakesOverLockoutLapsAndLanes_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("laps");
        QTest::addColumn<int>("lanes");
        QTest::newRow("unchanged 2500 ms becomes 2000") << -1 << -1 << 2;
        QTest::newRow("one lane, 2 laps, 7 s") << 7 << 2 << 1;
        QTest::newRow("no laps, longest lockout") << 600 << 0 << 2;
    }
    void okTakesOverLockoutLapsAndLanes()
    {
        QFETCH(int, seconds);
        QFETCH(int, laps);
        QFETCH(int, lanes);
        StoreSettings(0, "", 0, 2500);
        m_program.Restart();
        TFormMain *form = m_program.Form();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        Answer(QDialog::Accepted, [&](TCfgDialog *dialog) {
            if (seconds >= 0)
                dialog->seTimeout->setValue(seconds);
            if (laps >= 0)
                dialog->seLaps->setValue(laps);
            dialog->SetRgBahnIndex(lanes - 1);
        });
        form->bCFGClick();
        const int expectedLockout = (seconds >= 0 ? seconds : 2) * 1000;
        QCOMPARE(form->TimerGesperrt1->interval(), expectedLockout);
        QCOMPARE(form->TimerGesperrt2->interval(), expectedLockout);
        QCOMPARE(form->Settings.Laps, laps >= 0 ? laps : 3);
        QCOMPARE(form->Settings.CountBahn, lanes);
        for (QWidget *laneTwo :
             std::initializer_list<QWidget *>{form->LabelBahn2, form->cbBuhn2, form->seObmen,
                                              form->PanelRI, form->sb2del, form->PanelT2})
            QCOMPARE(laneTwo->isVisible(), lanes == 2);
        QCOMPARE(form->bSTOP1->text(),
                 lanes == 2 ? QStringLiteral("STOPP &1") : QStringLiteral("STOPP"));
        QCOMPARE(form->focusWidget(), static_cast<QWidget *>(form->SortGrid1));
    }

    void cancelChangesNothing()
    {
        StoreSettings(2, FakeDevices[1], 1, 3000);
        m_program.Restart();
        TFormMain *form = m_program.Form();
        DeviceLog log;
        log.Attach(form->ComPort);
        const QByteArray layout = SharedCertificateLayout().ToBytes();
        bool changedInDialog = false;
        Answer(QDialog::Rejected, [&](TCfgDialog *dialog) {
            dialog->seTimeout->setValue(9);
            dialog->seLaps->setValue(1);
            dialog->SetRgBahnIndex(0);
            dialog->cbPort->setCurrentIndex(5);
            dialog->cbAlg->setCurrentIndex(2);
            // The editor writes into the record at once.
            dialog->cbWho->setCurrentIndex(11);
            dialog->cbON->setChecked(true);
            dialog->cbAlign->setCurrentIndex(2);
            dialog->Edit1->setText(QStringLiteral("Pokal"));
            dialog->cbWho->setCurrentIndex(0); // leaving the entry stores the rest
            changedInDialog = SharedCertificateLayout().ToBytes() != layout;
        });
        form->bCFGClick();
        QCOMPARE(form->TimerGesperrt1->interval(), 3000);
        QCOMPARE(form->Settings.Laps, 3);
        QCOMPARE(form->Settings.CountBahn, 2);
        QCOMPARE(form->Settings.Port, 2);
        QCOMPARE(form->Settings.Alg, 1);
        QVERIFY(log.opened.isEmpty());
        QVERIFY(changedInDialog);
        QCOMPARE(SharedCertificateLayout().ToBytes(), layout);
    }

    // Which port the barriers end up on, and whether it was (re)opened.
    void okSwitchesThePortOnlyWhenChanged_data()
    {
        QTest::addColumn<int>("storedPort");
        QTest::addColumn<QString>("storedDevice");
        QTest::addColumn<int>("chosenItem"); // -1: leave what the dialog shows
        QTest::addColumn<int>("chosenAlg");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("alg");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<bool>("connected");
        QTest::newRow("stored COM3 gone, COM1 and COM5 present: COM5")
            << 3 << "/dev/fake/gone" << -1 << 2 << 5 << 2 << QStringList{FakeDevices[4]} << true;
        QTest::newRow("unchanged port is not reopened")
            << 1 << FakeDevices[0] << -1 << 1 << 1 << 1 << QStringList{} << true;
        QTest::newRow("COM1 to none closes, contact mode kept")
            << 1 << FakeDevices[0] << 0 << 2 << 0 << 0 << QStringList{} << false;
        QTest::newRow("none to COM1 opens")
            << 0 << "" << 1 << 1 << 1 << 1 << QStringList{FakeDevices[0]} << true;
    }
    void okSwitchesThePortOnlyWhenChanged()
    {
        QFETCH(int, storedPort);
        QFETCH(QString, storedDevice);
        QFETCH(int, chosenItem);
        QFETCH(int, chosenAlg);
        QFETCH(int, port);
        QFETCH(int, alg);
        QFETCH(QStringList, opened);
        QFETCH(bool, connected);
        m_program.Platform().absentDevices = {FakeDevices[1], FakeDevices[2], FakeDevices[3]};
        StoreSettings(storedPort, storedDevice, 0, 2000);
        m_program.Restart();
        TFormMain *form = m_program.Form();
        DeviceLog log;
        log.Attach(form->ComPort);
        if (form->Settings.Port == 1) { // the barriers were on at start
            form->ComPort->SetPort(1);
            form->OpenComPort();
            log.opened.clear();
        }
        Answer(QDialog::Accepted, [&](TCfgDialog *dialog) {
            if (chosenItem >= 0)
                dialog->cbPort->setCurrentIndex(chosenItem);
            dialog->cbAlg->setCurrentIndex(chosenAlg);
        });
        form->bCFGClick();
        QCOMPARE(form->Settings.Port, port);
        QCOMPARE(form->Settings.PortDevice, port ? FakeDevices[port - 1] : QString());
        QCOMPARE(form->Settings.Alg, alg);
        QCOMPARE(log.opened, opened);
        QCOMPARE(form->ComPort->Connected(), connected);
        QCOMPARE(form->PanelLed1->isHidden(), !connected);
        if (connected)
            QCOMPARE(int(form->ComPort->Port()), port);
    }

    // OK writes what it confirmed at once, so that a crash later in the day
    // keeps it; the barrier simulator, a stand-in for this run, never
    // becomes the stored port.
    void okWritesTheSettingsAtOnce_data()
    {
        QTest::addColumn<bool>("simulator");
        QTest::newRow("barriers on COM2") << false;
        QTest::newRow("barrier simulator running") << true;
    }
    void okWritesTheSettingsAtOnce()
    {
        QFETCH(bool, simulator);
        StoreSettings(2, FakeDevices[1], 1, 2000);
        if (simulator) {
            qputenv("DUOBAHN_BARRIER_SIM", m_program.Folder().FilePath("barrier.sock").toUtf8());
            m_program.Platform().serialDevices.prepend(QStringLiteral("sim:") +
                                                       m_program.Folder().FilePath("barrier.sock"));
        }
        const auto restore = qScopeGuard([] { qunsetenv("DUOBAHN_BARRIER_SIM"); });
        m_program.Restart();
        Answer(QDialog::Accepted, [](TCfgDialog *dialog) {
            dialog->seLaps->setValue(7);
            dialog->SetRgBahnIndex(0);
            dialog->seAnzeigePort->setValue(18060);
        });
        m_program.Form()->bCFGClick();
        QSettings store = Store();
        QCOMPARE(store.value("Laps").toInt(), 7);
        QCOMPARE(store.value("CountBahn").toInt(), 1);
        QCOMPARE(store.value("AnzeigePort").toInt(), 18060);
        QCOMPARE(store.value("Port").toInt(), 2);
        QCOMPARE(store.value("PortDevice").toString(), FakeDevices[1]);
    }

    void settingsSurviveARestart()
    {
        {
            m_program.Restart();
            Answer(QDialog::Accepted, [](TCfgDialog *dialog) {
                dialog->seTimeout->setValue(4);
                dialog->seLaps->setValue(2);
                dialog->SetRgBahnIndex(0);
                dialog->cbPort->setCurrentIndex(0);
                dialog->cbWho->setCurrentIndex(12);
                dialog->Edit1->setText(QStringLiteral("Pokal"));
            });
            m_program.Form()->bCFGClick();
        }
        m_program.Restart();
        QCOMPARE(m_program.Form()->Settings.CountBahn, 1);
        QCOMPARE(m_program.Form()->Settings.Laps, 2);
        QCOMPARE(m_program.Form()->TimerGesperrt2->interval(), 4000);
        QCOMPARE(m_program.Form()->Settings.Port, 0);
        QVERIFY(m_program.Form()->LabelBahn2->isHidden());
        QCOMPARE(SharedCertificateLayout().Entries[12].Text, QStringLiteral("Pokal"));
    }

    // "Anzeige im Netz" switched on: the live page is served on its port
    // from then on and after a restart, and the status line names it; a
    // port another program holds is told there instead.
    void liveResultsFollowTheSettings_data()
    {
        QTest::addColumn<bool>("portTaken");
        QTest::newRow("free port") << false;
        QTest::newRow("port taken") << true;
    }
    void liveResultsFollowTheSettings()
    {
        QFETCH(bool, portTaken);
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::Any, 0));
        const quint16 port = other.serverPort();
        if (!portTaken)
            other.close();
        m_program.Restart();
        Answer(QDialog::Accepted, [&](TCfgDialog *dialog) {
            QVERIFY(!dialog->cbAnzeigeNetz->isChecked());
            QCOMPARE(dialog->seAnzeigePort->value(), 8080);
            dialog->cbAnzeigeNetz->setChecked(true);
            dialog->seAnzeigePort->setValue(port);
        });
        m_program.Form()->bCFGClick();
        if (portTaken) {
            QCOMPARE(m_program.StatusText(),
                     QStringLiteral("Anzeige im Netz: Port %1 belegt").arg(port));
            return;
        }
        m_program.Restart(); // the settings keep it on
        QCOMPARE(m_program.Form()->Settings.AnzeigePort, int(port));
        QVERIFY2(m_program.StatusText().startsWith(QStringLiteral("Anzeige im Netz: http://")) &&
                     m_program.StatusText().endsWith(QStringLiteral(":%1/").arg(port)),
                 qPrintable(m_program.StatusText()));
        QWebSocket page;
        QSignalSpy received(&page, &QWebSocket::textMessageReceived);
        page.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
        QTRY_COMPARE(received.count(), 1);
    }
};

QTEST_MAIN(TestSettingsExchange)
#include "tst_SettingsExchange.moc"
