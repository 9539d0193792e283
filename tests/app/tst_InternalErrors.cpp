// A fault inside one of the program's event handlers: the program runs on
// under its own application object, the operator reads what went wrong in
// the status line, and the race goes on with every result kept.
#include "MainWindowFixture.h"
#include "app/FMain.h"
#include "app/ProgramApplication.h"

#include <QDialog>
#include <QPushButton>
#include <QtTest>
#include <stdexcept>

class TestInternalErrors : public QObject
{
    Q_OBJECT

    MainWindowFixture m_window;

private slots:
    void initTestCase() { m_window.Enter(); }
    void init() { m_window.Open(); }
    void cleanup() { m_window.Close(); }

    void faultInAHandlerIsToldAndTheRaceGoesOn_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("click on Einstellungen") << false;
        QTest::newRow("Alt+E") << true;
    }
    void faultInAHandlerIsToldAndTheRaceGoesOn()
    {
        QFETCH(bool, byKey);
        TFormMain *form = m_window.Form();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
        m_window.Load(MainWindowFixture::Teams(
            {QStringLiteral("Blitz"), QStringLiteral("Donner"), QStringLiteral("Hagel")}));
        m_window.Heat(12340, 15000);
        m_window.Platform().dialogAnswers.enqueue(
            [](QDialog *) -> int { throw std::runtime_error("Speicher erschöpft"); });
        if (byKey)
            m_window.Key(Qt::Key_E, Qt::AltModifier);
        else
            QTest::mouseClick(form->bCFG, Qt::LeftButton);
        QVERIFY(m_window.Platform().dialogAnswers.isEmpty());
        QCOMPARE(m_window.StatusText(), QStringLiteral("Interner Fehler: Speicher erschöpft"));
        QVERIFY(form->isVisible());

        // The next heat is timed, the earlier results stay.
        m_window.Heat(9870, std::nullopt);
        QCOMPARE(m_window.TeamRow(QStringLiteral("Blitz")).value(ColZeit), QStringLiteral("12,34"));
        QCOMPARE(m_window.TeamRow(QStringLiteral("Hagel")).value(ColZeit), QStringLiteral("9,87"));
    }
};

int main(int argc, char *argv[])
{
    ProgramApplication application(argc, argv);
    TestInternalErrors test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_InternalErrors.moc"
