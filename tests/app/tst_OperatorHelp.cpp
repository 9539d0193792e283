// The operator help (F1) against the window it describes: every key the
// window answers to is in the help's key table, every button that shows
// only a symbol is named there by its hint, and a lane is always called
// "Rennspur".
#include "MainWindowFixture.h"
#include "app/FMain.h"
#include "app/HelpWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QRegularExpression>
#include <QShortcut>
#include <QTextBrowser>
#include <QtTest>

class TestOperatorHelp : public QObject
{
    Q_OBJECT

    MainWindowFixture m_window;

    // The help as the operator reads it: the installed file, opened with F1.
    QString HelpText()
    {
        TFormMain *form = m_window.Form();
        form->HelpFile = QDir(qEnvironmentVariable("DUOBAHN_SOURCE_DIR"))
                             .filePath(QStringLiteral("examples/duobahn.hlp"));
        form->show();
        if (!QTest::qWaitForWindowActive(form))
            return {};
        m_window.Key(Qt::Key_F1);
        const auto *help = form->findChild<HelpWindow *>();
        return help && help->isVisible() ? help->Browser->toPlainText() : QString();
    }

    // The keys as a German keyboard labels them ("Strg+Z", "Alt+S", "F5").
    static QString KeyText(const QKeySequence &key)
    {
        return key.toString(QKeySequence::PortableText)
            .replace(QStringLiteral("Ctrl+"), QStringLiteral("Strg+"));
    }

    // Every key the main window answers to: its key entries and shortcuts,
    // and the Alt letters of its buttons' captions.
    QStringList WindowKeys() const
    {
        const TFormMain *form = m_window.Form();
        QStringList keys;
        for (const QAction *action : form->findChildren<QAction *>())
            for (const QKeySequence &key : action->shortcuts())
                keys << KeyText(key);
        for (const QShortcut *shortcut : form->findChildren<QShortcut *>())
            for (const QKeySequence &key : shortcut->keys())
                keys << KeyText(key);
        for (const QAbstractButton *button : form->findChildren<QAbstractButton *>())
            if (!button->shortcut().isEmpty())
                keys << KeyText(button->shortcut());
        keys.removeDuplicates();
        return keys;
    }

private slots:
    void initTestCase() { m_window.Enter(); }
    void init() { m_window.Open(); }
    void cleanup() { m_window.Close(); }

    void keyTableNamesEveryKeyOfTheWindow()
    {
        const QString help = HelpText();
        const qsizetype table = help.lastIndexOf(QStringLiteral("Tastenübersicht"));
        QVERIFY2(table >= 0, "the help has no key table");
        const QString keyTable = help.mid(table);
        const QStringList keys = WindowKeys();
        QVERIFY(keys.contains(QStringLiteral("F5")) && keys.contains(QStringLiteral("Alt+S")));
        for (const QString &key : keys) {
            const QRegularExpression named(QStringLiteral("(?<![\\w+])") +
                                           QRegularExpression::escape(key) +
                                           QStringLiteral("(?!\\w)"));
            QVERIFY2(keyTable.contains(named), qPrintable(key + " is not in the key table"));
        }
    }

    void everySymbolButtonIsNamedByItsHint()
    {
        const QString help = HelpText().simplified();
        int symbolButtons = 0;
        for (const QAbstractButton *button : m_window.Form()->findChildren<QAbstractButton *>()) {
            const QString hint = button->toolTip().simplified();
            if (button->text().remove(QLatin1Char('&')).size() > 1 || hint.isEmpty())
                continue;
            ++symbolButtons;
            QVERIFY2(help.contains(hint), qPrintable(hint + " is not in the help"));
        }
        QVERIFY(symbolButtons >= 12);
    }

    void aLaneIsAlwaysARennspur()
    {
        const QString help = HelpText();
        QVERIFY(help.contains(QStringLiteral("Rennspur 2")));
        const QRegularExpression otherTerm(QStringLiteral("(?<![Rr]enn)\\b[Ss]pur(en)?\\b"));
        const QRegularExpressionMatch found = otherTerm.match(help);
        QVERIFY2(!found.hasMatch(), qPrintable(help.mid(found.capturedStart() - 40, 80)));
        QVERIFY(!help.contains(QStringLiteral("späteren Version")));
    }
};

QTEST_MAIN(TestOperatorHelp)
#include "tst_OperatorHelp.moc"
