// The page store: pages come back as drawn, from memory or a temporary
// file, the file goes away with the pages, and memory stays flat.
#include "print/MetaFileList.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <malloc.h>
#if defined(__SANITIZE_ADDRESS__)
// From the address sanitizer's runtime: bytes in live allocations.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Bytes the program holds on the heap right now.
qint64 HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    return qint64(mallinfo2().uordblks);
#endif
}

QPicture DrawnPage(int number, int lines = 3)
{
    QPicture page;
    page.setBoundingRect(QRect(0, 0, 210, 297));
    QPainter painter(&page);
    painter.setFont(QFont("Liberation Sans", 10));
    painter.fillRect(QRect(10 + number % 50, 20, 30, 15),
                     QColor::fromHsv(number * 7 % 360, 200, 200));
    for (int line = 0; line < lines; ++line)
        painter.drawText(QPoint(20, 60 + line * 3),
                         QStringLiteral("Seite %1 Zeile %2").arg(number).arg(line));
    return page;
}

QImage Played(const QPicture &page)
{
    QImage image(210, 297, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawPicture(0, 0, page);
    return image;
}

} // namespace

class TestMetaFileList : public QObject
{
    Q_OBJECT
private slots:
    void pagesComeBackAsDrawn_data()
    {
        QTest::addColumn<bool>("tempFile");
        QTest::addColumn<bool>("switchHalfway");
        QTest::newRow("memory") << false << false;
        QTest::newRow("temporary file") << true << false;
        QTest::newRow("memory, then file") << false << true;
        QTest::newRow("file, then memory") << true << true;
    }
    void pagesComeBackAsDrawn()
    {
        QFETCH(bool, tempFile);
        QFETCH(bool, switchHalfway);
        TMetaFileList pages;
        pages.SetUseTempFile(tempFile);
        QList<QImage> drawn;
        for (int i = 0; i < 6; ++i) {
            if (switchHalfway && i == 3)
                pages.SetUseTempFile(!tempFile);
            const QPicture page = DrawnPage(i);
            drawn << Played(page);
            pages.Add(page);
        }
        QCOMPARE(pages.Count(), 6);
        for (int i : {5, 0, 3, 3, 1, 4, 2}) {
            const QPicture &page = pages.Page(i);
            QCOMPARE(page.boundingRect(), QRect(0, 0, 210, 297));
            QVERIFY2(Played(page) == drawn[i], qPrintable(QString("page %1").arg(i)));
        }
    }

    void outOfRangeIsEmpty()
    {
        TMetaFileList pages;
        QVERIFY(pages.Page(0).isNull());
        pages.Add(DrawnPage(1));
        QVERIFY(!pages.Page(0).isNull());
        QVERIFY(pages.Page(1).isNull());
        QVERIFY(pages.Page(-1).isNull());
        QVERIFY(!pages.Page(0).isNull()); // the cache does not keep the empty answer
    }

    void temporaryFileLifetime()
    {
        QString name;
        {
            TMetaFileList pages;
            pages.SetUseTempFile(true);
            QVERIFY(pages.TempFileName().isEmpty()); // made with the first page
            pages.Add(DrawnPage(1));
            name = pages.TempFileName();
            const QFileInfo file(name);
            QVERIFY(file.fileName().startsWith("TMP"));
            QCOMPARE(file.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
            QVERIFY(file.exists());

            pages.Clear();
            QCOMPARE(pages.Count(), 0);
            QVERIFY(!QFile::exists(name));
            QVERIFY(pages.TempFileName().isEmpty());

            pages.Add(DrawnPage(2));
            name = pages.TempFileName();
            QVERIFY(QFile::exists(name));
            pages.SetUseTempFile(false);
            QVERIFY(!QFile::exists(name));
            QVERIFY(pages.TempFileName().isEmpty());
            QCOMPARE(Played(pages.Page(0)), Played(DrawnPage(2)));
            pages.SetUseTempFile(true);
            name = pages.TempFileName();
            QVERIFY(QFile::exists(name));
        }
        QVERIFY(!QFile::exists(name)); // gone with the store
    }

    void memoryStaysFlat_data()
    {
        QTest::addColumn<bool>("tempFile");
        QTest::newRow("memory") << false;
        QTest::newRow("temporary file") << true;
    }
    void memoryStaysFlat()
    {
        QFETCH(bool, tempFile);
        constexpr int pageCount = 1000;
        TMetaFileList pages;
        pages.SetUseTempFile(tempFile);
        const qint64 before = HeapInUse();
        qint64 pageBytes = 0;
        for (int i = 0; i < pageCount; ++i) {
            const QPicture page = DrawnPage(i, 40);
            pageBytes += page.size();
            pages.Add(page);
        }
        const qint64 afterBuilding = HeapInUse();
        QVERIFY(pageBytes > 1000 * 1000); // enough to notice a copy per page
        if (tempFile)
            QVERIFY2(afterBuilding - before < 1000 * 1000,
                     qPrintable(QString::number(afterBuilding - before)));
        else
            QVERIFY2(afterBuilding - before < 2 * pageBytes + 1000 * 1000,
                     qPrintable(QString::number(afterBuilding - before)));

        // Looking at every page in turn keeps one of them, not all.
        for (int i = 0; i < pageCount; ++i)
            QVERIFY(!pages.Page(i).isNull());
        const qint64 afterReading = HeapInUse();
        QVERIFY2(afterReading - afterBuilding < 500 * 1000,
                 qPrintable(QString::number(afterReading - afterBuilding)));
        QCOMPARE(Played(pages.Page(pageCount - 1)), Played(DrawnPage(pageCount - 1, 40)));
    }
};

QTEST_MAIN(TestMetaFileList)
#include "tst_MetaFileList.moc"
