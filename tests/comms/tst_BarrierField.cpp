// The barriers' state in the permanent field of the status bar, through the
// real window: chosen in the settings, unplugged, chosen again, a port that
// does not open, and no port.
#include "MainWindowFixture.h"
#include "app/FMain.h"
#include "comms/Comms.h"
#include "comms/FakeSerialDevice.h"
#include "settings/Cfg.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <cerrno>
#include <cstring>

class TestBarrierField : public QObject
{
    Q_OBJECT

    MainWindowFixture m_window;
    std::shared_ptr<FakeSerialDevice> m_device;
    FakeSerialDevice::Behaviour m_behaviour;

    QLabel *Field() const { return m_window.Form()->LabelBarrier; }
    bool FieldIsRed() const
    {
        return Field()->palette().color(QPalette::WindowText) == QColor(Qt::red);
    }

    // "Einstellungen", the port item of COMn (0: "Keine"), OK.
    void ChoosePort(int port)
    {
        m_window.Platform().dialogAnswers.enqueue([port](QDialog *dialog) {
            auto *settings = static_cast<TCfgDialog *>(dialog);
            settings->cbPort->setCurrentIndex(settings->PortItem(port));
            return int(QDialog::Accepted);
        });
        m_window.Form()->bCFG->click();
        QVERIFY(m_window.Platform().dialogAnswers.isEmpty());
    }

private slots:
    void initTestCase() { m_window.Enter(); }
    void init()
    {
        m_window.OpenWithSerialDevices({QStringLiteral("/dev/ttyUSB0")});
        m_behaviour = {};
        m_window.Form()->ComPort->SetDeviceFactory([this](const QString &) {
            m_device = std::make_shared<FakeSerialDevice>(m_behaviour);
            return m_device;
        });
    }
    void cleanup() { m_window.Close(); }

    void fieldFollowsEveryOpenCloseAndUnplug()
    {
        QCOMPARE(Field()->text(), QStringLiteral("Keine Lichtschranke"));
        QVERIFY(!FieldIsRed());

        ChoosePort(1);
        QCOMPARE(Field()->text(), QStringLiteral("Lichtschranke: COM1 (/dev/ttyUSB0) verbunden"));
        QVERIFY(!FieldIsRed());

        m_window.Form()->ShowNotice(QStringLiteral("Eine spätere Meldung"));
        m_device->Unplug(EIO);
        QTRY_COMPARE(Field()->text(),
                     QStringLiteral("Lichtschranke getrennt – Stopps nur von Hand"));
        QVERIFY(FieldIsRed());
        m_window.Form()->ShowNotice(QStringLiteral("Noch eine Meldung"));
        QCOMPARE(Field()->text(), QStringLiteral("Lichtschranke getrennt – Stopps nur von Hand"));

        ChoosePort(1); // the adapter plugged in again and chosen once more
        QCOMPARE(Field()->text(), QStringLiteral("Lichtschranke: COM1 (/dev/ttyUSB0) verbunden"));
        QVERIFY(!FieldIsRed());

        ChoosePort(0);
        QCOMPARE(Field()->text(), QStringLiteral("Keine Lichtschranke"));
        QVERIFY(!FieldIsRed());
    }

    // Every failure to open names the port and the system's reason, in the
    // field and in the status line.
    void failedOpenIsToldWithTheReason_data()
    {
        QTest::addColumn<int>("openError");
        QTest::addColumn<int>("configureError");
        QTest::addColumn<QString>("notice");
        const auto reason = [](int error) { return QString::fromLocal8Bit(std::strerror(error)); };
        QTest::newRow("gone") << ENOENT << 0
                              << "COM1 (/dev/ttyUSB0) lässt sich nicht öffnen: " + reason(ENOENT);
        QTest::newRow("device error")
            << EIO << 0 << "COM1 (/dev/ttyUSB0) lässt sich nicht öffnen: " + reason(EIO);
        QTest::newRow("cannot be set up")
            << 0 << EINVAL << "COM1 (/dev/ttyUSB0) lässt sich nicht öffnen: " + reason(EINVAL);
        QTest::newRow("busy") << EBUSY << 0 << "COM1 ist von einem anderen Programm belegt";
    }
    void failedOpenIsToldWithTheReason()
    {
        QFETCH(int, openError);
        QFETCH(int, configureError);
        QFETCH(QString, notice);
        m_behaviour.openError = openError;
        m_behaviour.configureError = configureError;
        ChoosePort(1);
        QVERIFY(!m_window.Form()->ComPort->Connected());
        QCOMPARE(m_window.StatusText(), notice);
        QCOMPARE(Field()->text(),
                 QStringLiteral("Lichtschranke: COM1 (/dev/ttyUSB0) – ") +
                     QString::fromLocal8Bit(std::strerror(openError ? openError : configureError)));
        QVERIFY(FieldIsRed());

        m_behaviour = {}; // fixed: chosen again, it opens
        ChoosePort(1);
        QCOMPARE(Field()->text(), QStringLiteral("Lichtschranke: COM1 (/dev/ttyUSB0) verbunden"));
    }
};

QTEST_MAIN(TestBarrierField)
#include "tst_BarrierField.moc"
