// The program's main window for the benchmarks: built as the program builds
// it, shown and active, in a folder of its own, with the fake platform's
// scripted dialogs but the clock the program runs on.
#pragma once

#include "FakePlatform.h"
#include "app/ApplicationWindows.h"
#include "app/DlgYesNo.h"
#include "app/FMain.h"
#include "app/FileTypeNames.h"
#include "app/ProtocolController.h"
#include "platform/QtPlatform.h"
#include "widgets/SortGrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace bench {

class RealClockPlatform : public FakePlatform
{
public:
    std::uint32_t TickCount() const override { return m_machine.TickCount(); }

private:
    QtPlatform m_machine;
};

class BenchWindow
{
public:
    BenchWindow()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QDir::setCurrent(m_dir.path());
        // The recovery journal goes to the user's data folder: this one's.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
        SetCurrentPlatform(&platform);
        m_windows = std::make_unique<ApplicationWindows>();
        form = m_windows->FormMain;
        form->Settings.CountBahn = 2;
        form->ApplyLaneCount();
        form->resize(1024, 768);
        form->show();
        if (!QTest::qWaitForWindowActive(form))
            qFatal("the main window did not become active");
        QCoreApplication::sendPostedEvents();
    }
    ~BenchWindow()
    {
        m_windows.reset();
        SetCurrentPlatform(nullptr);
    }
    BenchWindow(const BenchWindow &) = delete;
    BenchWindow &operator=(const BenchWindow &) = delete;

    QString FilePath(const QString &name) const { return m_dir.filePath(name); }

    // The runs per team, as the settings would give them.
    void SetRuns(int runs)
    {
        RoundsSetup rounds;
        rounds.runs = runs;
        if (!form->Protocol->ChangeRounds(rounds))
            qFatal("the runs were not taken");
    }

    // "Starterliste öffnen" with the dialog answered by fileName, results
    // not saved yet given up; stops the benchmark unless all teams arrived.
    void Load(const QString &fileName, int teams)
    {
        platform.openAnswers.enqueue({true, fileName, 1});
        platform.QueueDialogResult(TFDlgYesNo::ResultYes);
        form->sbLoad->click();
        platform.dialogAnswers.clear();
        if (form->SortGrid1->RowCount() != teams + 1)
            qFatal("%s: %d rows loaded", qPrintable(fileName), form->SortGrid1->RowCount() - 1);
    }

    // "Protokoll speichern" as the operator saves: the save dialog answered
    // with the file and its type.
    void Save(const QString &fileName, FileType type)
    {
        platform.saveAnswers.enqueue({true, fileName, SaveDialogIndex(type)});
        form->sbSave->click();
        if (!QFileInfo::exists(fileName))
            qFatal("%s not saved", qPrintable(fileName));
    }

    RealClockPlatform platform;
    TFormMain *form = nullptr;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ApplicationWindows> m_windows;
};

} // namespace bench
