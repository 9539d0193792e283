// The protocol grid: multi-key sorting with stable ties, header clicks by
// real mouse events, the current row following its data, the update-bound
// operations the protocol relies on, saving, validation and searching.
#include "widgets/SortGrid.h"

#include "FakePlatform.h"

#include <QtTest>

namespace {

const int kColWidth = 60;
const int kRowHeight = 20;

// Ten columns like the results protocol; column 0 holds a unique number per
// team so that orders can be read back.
struct ProtocolGrid
{
    explicit ProtocolGrid(const QList<QStringList> &rows)
    {
        grid.SetColCount(10);
        grid.SetDefaultColWidth(kColWidth);
        grid.SetDefaultRowHeight(kRowHeight);
        grid.SetOptions(grid.Options() | goRowSelect | goColSizing);
        grid.SortOptions().SetSecondaryIndex(QStringLiteral("8"));
        grid.SortOptions().SetSortCaseSensitive(true);
        grid.SortOptions().SetSortCol(2);
        grid.OnGetSortStyle = [this](QObject *, int col, TSortStyle &style) {
            styleRequests.append({col, style});
            style = (col == 0 || col == 2) ? ssNumeric : ssNormal;
        };
        grid.resize(700, 300);
        grid.BeginUpdate();
        grid.SetRowCount(rows.size() + 1);
        const QStringList header{"Nr.",        "TeamName", "Klasse",    "Fahrer", "Beifahrer1",
                                 "Beifahrer2", "Zeit",     "Strafzeit", "Total",  "Platz"};
        grid.Rows(0)->Assign(header);
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c)
                grid.SetCells(c, r + 1, rows[r][c]);
        }
        grid.EndUpdate();
    }
    QStringList Column(int col) const
    {
        QStringList texts;
        for (int row = 1; row < grid.RowCount(); ++row)
            texts << grid.Cells(col, row);
        return texts;
    }
    TSortGrid grid;
    QList<QPair<int, TSortStyle>> styleRequests;
};

// Nr, -, Klasse, ... Total in column 8.
QStringList Team(const QString &nr, const QString &klasse, const QString &total)
{
    return {nr, "T" + nr, klasse, "", "", "", "", "", total, ""};
}

QList<QStringList> SixTeams()
{
    return {Team("1", "2", "5"), Team("2", "1", "7"),  Team("3", "2", "5"),
            Team("4", "1", "3"), Team("5", "10", "1"), Team("6", "1", "7")};
}

} // namespace

Q_DECLARE_METATYPE(TSortDirection)
Q_DECLARE_METATYPE(Qt::MouseButton)

class TestSortGrid : public QObject
{
    Q_OBJECT
private slots:
    // A text laid out once is found again only in the font it was laid
    // out in: the same text in another size or weight, asked for in turns
    // with more fonts than the cache keeps and more texts than a font's
    // table holds, always has that font's width and glyphs.
    void cellTextsAreLaidOutPerFont()
    {
        std::vector<QFont> fonts;
        for (int k = 0; k < TCellTextCache::MaxFonts + 3; ++k) {
            QFont font = QApplication::font();
            font.setPixelSize(9 + k);
            font.setBold(k % 2 == 1);
            fonts.push_back(font);
        }
        QStringList texts{"1", "Blitz", "Wüstenfuchs", "12,50", "WWWWWW", "DIS"};
        for (int k = 0; k < TCellTextCache::MaxTextsPerFont; ++k)
            texts << QString::number(k);
        TCellTextCache cache;
        for (int round = 0; round < 2; ++round) {
            for (const QString &text : texts) {
                // Every font for the first texts, then one font at a time.
                const std::size_t count = text.size() > 1 || text == "1" ? fonts.size() : 1;
                for (std::size_t k = 0; k < count; ++k) {
                    const QFont &font = fonts[(k + std::size_t(text.size())) % fonts.size()];
                    const TCellTextCache::Laid &laid = cache.LaidOut(text, font);
                    QCOMPARE(laid.width, QFontMetrics(font).horizontalAdvance(text));
                    QCOMPARE(laid.glyphs.text(), text);
                    if (count == 1)
                        continue;
                    QStaticText fresh(text);
                    fresh.prepare(QTransform(), font);
                    QCOMPARE(laid.glyphs.size(), fresh.size());
                }
            }
        }
        // A cell's text may share a whole list's characters: the cache keeps
        // a copy, not the list.
        QString list = QString::fromLatin1("Blitz;Donner;Hagel");
        QVERIFY(list.isDetached());
        cache.LaidOut(QString(list), fonts.front());
        QVERIFY(list.isDetached());
    }

    void sortsByColumnThenSecondaryWithStableTies()
    {
        ProtocolGrid p(SixTeams());
        p.grid.SortByColumn(2);
        QCOMPARE(p.Column(0), (QStringList{"4", "2", "6", "1", "3", "5"}));
        QCOMPARE(p.grid.Cells(0, 0), QStringLiteral("Nr.")); // the header never moves
        // Least significant key first; the style variable starts automatic
        // and carries the previous key's answer.
        QCOMPARE(p.styleRequests.size(), 2);
        QCOMPARE(p.styleRequests[0], qMakePair(8, ssAutomatic));
        QCOMPARE(p.styleRequests[1], qMakePair(2, ssNormal));
        QCOMPARE(p.grid.SortOptions().SortStyle(), ssNumeric);
        // Whole rows moved with their key cells.
        QCOMPARE(p.grid.Cells(1, 1), QStringLiteral("T4"));
        QCOMPARE(p.grid.Cells(8, 1), QStringLiteral("3"));
    }

    void sortColumnListedAmongSecondariesIsUsedOnce()
    {
        ProtocolGrid p(SixTeams());
        p.grid.SortOptions().SetSecondaryIndex(QStringLiteral("2,8"));
        p.grid.SortByColumn(2);
        QCOMPARE(p.Column(0), (QStringList{"4", "2", "6", "1", "3", "5"}));
        QCOMPARE(p.styleRequests.size(), 2);
    }

    void descendingKeepsTiesInPreviousOrder()
    {
        ProtocolGrid p(SixTeams());
        p.grid.SortOptions().SetSecondaryIndex(QString());
        p.grid.SortOptions().SetSortDirection(sdDescending);
        p.grid.SortByColumn(2);
        QCOMPARE(p.Column(0), (QStringList{"5", "1", "3", "2", "4", "6"}));
    }

    void caseInsensitiveSortLeavesCellsAlone()
    {
        ProtocolGrid p({Team("1", "1", "b"), Team("2", "1", "A"), Team("3", "1", "a")});
        p.grid.OnGetSortStyle = nullptr;
        p.grid.SortOptions().SetSortStyle(ssNormal);
        p.grid.SortOptions().SetSortCaseSensitive(false);
        p.grid.SortOptions().SetSecondaryIndex(QString());
        p.grid.SortByColumn(8);
        QCOMPARE(p.Column(8), (QStringList{"A", "a", "b"}));
    }

    void automaticStyleIsDetectedOnceAndKept()
    {
        ProtocolGrid p({Team("10", "1", ""), Team("9", "1", ""), Team("100", "1", "")});
        p.grid.OnGetSortStyle = nullptr;
        p.grid.SortOptions().SetSortStyle(ssAutomatic);
        p.grid.SortOptions().SetSecondaryIndex(QString());
        p.grid.SortByColumn(0);
        QCOMPARE(p.Column(0), (QStringList{"9", "10", "100"}));
        QCOMPARE(p.grid.SortOptions().SortStyle(), ssNumeric);
    }

    void numericColumnMeetsDis()
    {
        ProtocolGrid p({Team("1", "10", ""), Team("2", "DIS", ""), Team("3", "9", "")});
        p.grid.SortOptions().SetSecondaryIndex(QString());
        p.grid.SortByColumn(2);
        QCOMPARE(p.Column(2), (QStringList{"9", "10", "DIS"}));
    }

    void sortCompareIsDroppedAfterEverySort()
    {
        ProtocolGrid p({Team("1", "1", "ccc"), Team("2", "1", "a"), Team("3", "1", "bb")});
        p.grid.SortOptions().SetSecondaryIndex(QString());
        int customCalls = 0;
        p.grid.OnGetSortStyle = [&](QObject *sender, int, TSortStyle &style) {
            style = ssCustom;
            if (customCalls == 0) // only the first sort gets a comparison
                static_cast<TSortGrid *>(sender)->SortOptions().SortCompare =
                    [&](const QString &a, const QString &b) {
                        ++customCalls;
                        return int(b.size() - a.size());
                    };
        };
        p.grid.SortByColumn(8);
        QCOMPARE(p.Column(8), (QStringList{"ccc", "bb", "a"}));
        QVERIFY(!p.grid.SortOptions().SortCompare);
        const int callsAfterFirst = customCalls;
        p.grid.SortByColumn(8); // no comparison left: ordinal, no crash
        QCOMPARE(customCalls, callsAfterFirst);
        QCOMPARE(p.Column(8), (QStringList{"a", "bb", "ccc"}));
    }

    void currentRowFollowsItsData()
    {
        ProtocolGrid p(SixTeams());
        p.grid.SetRow(5); // team 5, class 10: goes last
        QCOMPARE(p.grid.SelectedRows(), QStringList{"5"});
        int rowSelectedAt = -1;
        p.grid.OnRowSelected = [&](QObject *) { rowSelectedAt = p.grid.Row(); };
        p.grid.SortByColumn(2);
        QCOMPARE(p.grid.Cells(0, p.grid.Row()), QStringLiteral("5"));
        QCOMPARE(p.grid.Row(), 6);
        QCOMPARE(rowSelectedAt, 5); // raised while the old row was still current
        QCOMPARE(p.grid.SelectedRows(), QStringList{"6"});
    }

    void headerClicks_data()
    {
        QTest::addColumn<int>("sortCol");
        QTest::addColumn<TSortDirection>("direction");
        QTest::addColumn<int>("clickCol");
        QTest::addColumn<int>("xInCol");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("sorts");
        QTest::addColumn<TSortDirection>("expected");
        const int mid = kColWidth / 2;
        QTest::newRow("same column ascending → descending")
            << 2 << sdAscending << 2 << mid << Qt::LeftButton << true << sdDescending;
        QTest::newRow("same column descending → ascending")
            << 2 << sdDescending << 2 << mid << Qt::LeftButton << true << sdAscending;
        QTest::newRow("other column always ascending")
            << 2 << sdDescending << 4 << mid << Qt::LeftButton << true << sdAscending;
        QTest::newRow("other column from ascending")
            << 2 << sdAscending << 4 << mid << Qt::LeftButton << true << sdAscending;
        QTest::newRow("right button always descending")
            << 2 << sdDescending << 4 << mid << Qt::RightButton << true << sdDescending;
        QTest::newRow("near the right border sizes, no sort")
            << 2 << sdAscending << 4 << kColWidth - 3 << Qt::LeftButton << false << sdAscending;
        QTest::newRow("near the left border, no sort")
            << 2 << sdAscending << 4 << 3 << Qt::LeftButton << false << sdAscending;
        QTest::newRow("just outside the zone sorts")
            << 2 << sdAscending << 4 << 6 << Qt::LeftButton << true << sdAscending;
    }
    void headerClicks()
    {
        QFETCH(int, sortCol);
        QFETCH(TSortDirection, direction);
        QFETCH(int, clickCol);
        QFETCH(int, xInCol);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, sorts);
        QFETCH(TSortDirection, expected);
        ProtocolGrid p(SixTeams());
        p.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.grid));
        p.grid.SortOptions().SetSortCol(sortCol);
        p.grid.SortOptions().SetSortDirection(direction);
        int sorted = 0;
        p.grid.OnEndSort = [&](QObject *, int) { ++sorted; };
        const QPoint at((kColWidth + 1) * clickCol + xInCol, kRowHeight / 2);
        QTest::mouseClick(p.grid.viewport(), button, {}, at);
        QCOMPARE(sorted, sorts ? 1 : 0);
        QCOMPARE(p.grid.SortOptions().SortCol(), sorts ? clickCol : sortCol);
        QCOMPARE(p.grid.SortOptions().SortDirection(), expected);
    }

    void headerReleaseOverAnotherColumnDoesNotSort()
    {
        ProtocolGrid p(SixTeams());
        p.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.grid));
        int sorted = 0;
        p.grid.OnEndSort = [&](QObject *, int) { ++sorted; };
        QTest::mousePress(p.grid.viewport(), Qt::LeftButton, {}, QPoint(30, 10));
        QTest::mouseRelease(p.grid.viewport(), Qt::LeftButton, {}, QPoint(30 + 2 * 61, 10));
        QCOMPARE(sorted, 0);
    }

    void clearRowsLeavesOneBlankRow()
    {
        ScopedFakePlatform platform;
        ProtocolGrid p(SixTeams());
        p.grid.SetRow(4);
        p.grid.SetModified(true);
        int selected = 0;
        p.grid.OnRowSelected = [&](QObject *) { ++selected; };
        p.grid.ClearRows();
        QCOMPARE(p.grid.RowCount(), 2);
        QCOMPARE(p.Column(0), QStringList{""});
        QCOMPARE(p.grid.Cells(0, 0), QStringLiteral("Nr."));
        QCOMPARE(p.grid.Row(), 1);
        QCOMPARE(p.grid.Col(), 0);
        QCOMPARE(p.grid.SelectedRows(), QStringList{"1"});
        QCOMPARE(p.grid.SelectionAnchor(), QStringList{"1"});
        QVERIFY(!p.grid.Modified());
        QCOMPARE(selected, 1);
        QVERIFY(!p.grid.NowUpdating());
        QVERIFY(platform.messages.isEmpty());
    }

    void deletingTheOnlyDataRowBlanksIt()
    {
        ProtocolGrid p({Team("1", "1", "5")});
        int deleted = -1;
        p.grid.OnRowDelete = [&](QObject *, int row) { deleted = row; };
        p.grid.DeleteRow(1);
        QCOMPARE(p.grid.RowCount(), 2);
        QCOMPARE(p.grid.Cells(0, 1), QString());
        QVERIFY(p.grid.Modified());
        QCOMPARE(deleted, 1);
    }

    void deletingARowOfSeveral()
    {
        ProtocolGrid p(SixTeams());
        p.grid.DeleteRow(2);
        QCOMPARE(p.Column(0), (QStringList{"1", "3", "4", "5", "6"}));
    }

    void saveToFileWritesEveryRowWithTheHeader()
    {
        ProtocolGrid p({Team("1", "2", "5,10"), Team("2", "1", "")});
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("protokoll.csv"));
        p.grid.SaveToFile(name);
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray expected = "Nr.;TeamName;Klasse;Fahrer;Beifahrer1;Beifahrer2;Zeit;"
                                    "Strafzeit;Total;Platz\r\n"
                                    "1;T1;2;;;;;;5,10;\r\n"
                                    "2;T2;1;;;;;;;\r\n";
        QCOMPARE(file.readAll(), expected);
    }

    void saveToFileFailureShowsABox()
    {
        ScopedFakePlatform platform;
        ProtocolGrid p(SixTeams());
        const QString name = QStringLiteral("/nonexistent-folder/x.csv");
        p.grid.SaveToFile(name); // nothing raised
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].text, "Can't write to file:\r" + name);
        QCOMPARE(platform.messages[0].kind, Platform::MessageKind::Error);
    }

    void rowCountBelowTwoShowsTheBox()
    {
        ScopedFakePlatform platform;
        ProtocolGrid p(SixTeams());
        p.grid.SetFixedRows(0);
        p.grid.SetRowCount(1);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].text, QStringLiteral("Rowsize too small"));
    }

    void addingARowOutsideAnUpdateGoesToTheFirstRow()
    {
        ProtocolGrid p(SixTeams());
        p.grid.SetRow(4);
        QList<QPair<int, int>> sizes;
        p.grid.OnSizeChanged = [&](QObject *, int c, int r) { sizes.append({c, r}); };
        p.grid.SetRowCount(8);
        QCOMPARE(p.grid.Row(), 1);
        QVERIFY(p.grid.Modified());
        QCOMPARE(sizes, (QList<QPair<int, int>>{{10, 7}}));
    }

    void headerTextIsShortened_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("chars"); // width given in characters of a fixed font
        QTest::addColumn<QString>("expected");
        QTest::newRow("fits") << "Klasse" << 6 << "Klasse";
        QTest::newRow("ends in ..") << "Beifahrer1" << 6 << "Beif..";
        QTest::newRow("never below three") << "TeamName" << 1 << "T..";
    }
    void headerTextIsShortened()
    {
        QFETCH(QString, text);
        QFETCH(int, chars);
        QFETCH(QString, expected);
        QFont mono(QStringLiteral("Liberation Mono"));
        mono.setStyleHint(QFont::Monospace);
        const QFontMetrics fm(mono);
        QCOMPARE(TSortGrid::ShortenedHeaderText(text, chars * fm.horizontalAdvance('x'), fm),
                 expected);
    }

    void rejectedValidationRestoresTextAndModified()
    {
        ProtocolGrid p(SixTeams());
        p.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.grid));
        p.grid.SetOptions((p.grid.Options() & ~TGridOptions(goRowSelect)) | goEditing);
        p.grid.setFocus();
        p.grid.SetModified(false);
        p.grid.SetCol(1);
        QString seenOld, seenNew;
        p.grid.OnCellValidate = [&](QObject *, int, int, const QString &oldValue, QString &newValue,
                                    bool &valid) {
            seenOld = oldValue;
            seenNew = newValue;
            valid = false;
        };
        QTest::keyClick(&p.grid, Qt::Key_F2);
        QTest::keyClicks(p.grid.InplaceEditor(), QStringLiteral("X"));
        QVERIFY(p.grid.Modified());
        QTest::keyClick(p.grid.InplaceEditor(), Qt::Key_Return);
        QCOMPARE(seenOld, QStringLiteral("T1"));
        QCOMPARE(seenNew, QStringLiteral("T1X"));
        QCOMPARE(p.grid.Cells(1, 1), QStringLiteral("T1"));
        QVERIFY(!p.grid.Modified());
    }

    void typingSearchesTheSortColumnWhileBrowsing()
    {
        ProtocolGrid p({Team("1", "1", ""), Team("2", "1", ""), Team("3", "1", "")});
        p.grid.SetCells(1, 2, QStringLiteral("karl"));
        p.grid.SetCells(1, 3, QStringLiteral("Kurt"));
        p.grid.SortOptions().SetSortCol(1);
        p.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.grid));
        p.grid.setFocus();
        QTest::keyClick(&p.grid, 'k');
        QCOMPARE(p.grid.Row(), 2);
        QTest::keyClick(&p.grid, 'k');
        QCOMPARE(p.grid.Row(), 3);
        QTest::keyClick(&p.grid, 'k'); // wraps around
        QCOMPARE(p.grid.Row(), 2);
        // While editing, a typed character belongs to the current cell.
        p.grid.SetOptions((p.grid.Options() & ~TGridOptions(goRowSelect)) | goEditing);
        QTest::keyClick(&p.grid, 'k');
        QCOMPARE(p.grid.Row(), 2);
        QVERIFY(p.grid.EditorMode());
        QCOMPARE(p.grid.InplaceEditor()->text(), QStringLiteral("k"));
    }

    void doubleClickOnACellRaisesOnce()
    {
        ProtocolGrid p(SixTeams());
        p.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.grid));
        int clicks = 0;
        p.grid.OnDblClick = [&](QObject *) { ++clicks; };
        QTest::mouseDClick(p.grid.viewport(), Qt::LeftButton, {}, QPoint(90, 3 * 21 + 10));
        QCOMPARE(clicks, 1);
        QCOMPARE(p.grid.Row(), 3);
    }

    void doubleClickOnAHeaderBorderFitsTheColumn()
    {
        ProtocolGrid p(SixTeams());
        p.grid.SetCells(3, 2, QStringLiteral("a rather long driver name"));
        p.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.grid));
        QTest::mouseDClick(p.grid.viewport(), Qt::LeftButton, {}, QPoint(4 * 61 - 2, 10));
        const QFontMetrics fm(p.grid.font());
        QCOMPARE(p.grid.ColWidths(3),
                 fm.horizontalAdvance(QStringLiteral("a rather long driver name")) +
                     fm.horizontalAdvance('X'));
    }

    // A shorter text may be the wider one in a proportional font; both ways
    // of fitting find it, the cell format's font and the grid's own.
    void fittingFindsTheWidestTextNotTheLongest_data()
    {
        QTest::addColumn<QString>("family");
        QTest::newRow("proportional") << "Liberation Sans";
        QTest::newRow("monospace") << "Liberation Mono";
    }
    void fittingFindsTheWidestTextNotTheLongest()
    {
        QFETCH(QString, family);
        ProtocolGrid p(SixTeams());
        p.grid.setFont(QFont(family, 12));
        const QStringList texts = {"iiiiiiiiiiiiiiiiiiii", "WWWWWWWWWWWW", "lllllllllllllll",
                                   "MMMMMMMMMMM",          "ÄÖÜßäöü",      "漢字漢字"};
        for (int row = 1; row <= texts.size(); ++row)
            p.grid.SetCells(3, row, texts[row - 1]);
        const QFontMetrics fm(p.grid.font());
        int widest = fm.horizontalAdvance(p.grid.Cells(3, 0));
        for (const QString &text : texts)
            widest = std::max(widest, fm.horizontalAdvance(text));
        const int fitted = widest + fm.horizontalAdvance('X');
        QCOMPARE(p.grid.FittedColWidth(3), fitted);
        QCOMPARE(p.grid.FittedColWidthInGridFont(3), fitted);
    }

    void wheelScrollsWithoutMovingTheCurrentRow()
    {
        QList<QStringList> rows;
        for (int i = 1; i <= 100; ++i)
            rows << Team(QString::number(i), "1", "");
        ProtocolGrid p(rows);
        p.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.grid));
        p.grid.SetRow(3);
        QWheelEvent down(QPointF(50, 50), p.grid.mapToGlobal(QPointF(50, 50)), QPoint(),
                         QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(p.grid.viewport(), &down);
        QCOMPARE(p.grid.TopRow(), 3);
        QCOMPARE(p.grid.Row(), 3);
    }

    void drawingFollowsTheCellFormat()
    {
        ProtocolGrid p(SixTeams());
        p.grid.SetOptions(p.grid.Options() & ~TGridOptions(goRowSelect | goRangeSelect));
        p.grid.OnGetCellFormat = [](QObject *, int col, int row, TGridDrawState,
                                    TFormatOptions &format, bool &, bool &, bool &) {
            if (row == 2)
                format.FontColor = QColor(255, 0, 0);
            if (col == 0)
                format.AlignmentHorz = taRightJustify;
        };
        auto pixels = [&](const QRect &rect, const std::function<bool(QColor)> &match) {
            const QImage image = p.grid.viewport()->grab().toImage();
            int count = 0;
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x <= rect.right(); ++x)
                    count += match(image.pixelColor(x, y)) ? 1 : 0;
            return count;
        };
        const auto red = [](QColor c) { return c.red() > 200 && c.green() < 80; };
        const auto ink = [](QColor c) { return c.lightness() < 100; };
        QVERIFY(pixels(p.grid.CellRect(1, 2), red) > 0);
        QCOMPARE(pixels(p.grid.CellRect(1, 3), red), 0);
        // Right-justified "3" in column 0 keeps the left half of the cell empty.
        const QRect nr = p.grid.CellRect(0, 3);
        QCOMPARE(pixels(nr.adjusted(0, 0, -nr.width() / 2, 0), ink), 0);
        QVERIFY(pixels(nr.adjusted(nr.width() / 2, 0, 0, 0), ink) > 0);
        // The arrow sits at the left of the sort column's header only.
        const auto arrowGrey = [](QColor c) { return c == QColor(128, 128, 128); };
        const QRect arrowZone(3, 5, 9, 8);
        QVERIFY(pixels(arrowZone.translated(p.grid.CellRect(2, 0).topLeft()), arrowGrey) > 0);
        QCOMPARE(pixels(arrowZone.translated(p.grid.CellRect(3, 0).topLeft()), arrowGrey), 0);
        p.grid.SetHideRows(true);
        QCOMPARE(pixels(p.grid.CellRect(1, 2), red), 0);
        QCOMPARE(pixels(p.grid.CellRect(1, 1), ink), 0);
    }

    void multiSelectByCtrlAndShiftClicks()
    {
        ProtocolGrid p(SixTeams());
        p.grid.SetMultiSelect(true);
        QVERIFY(p.grid.Options().testFlag(goRowSelect));
        p.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.grid));
        auto rowPoint = [&](int row) { return p.grid.CellRect(1, row).center(); };
        QTest::mouseClick(p.grid.viewport(), Qt::LeftButton, {}, rowPoint(2));
        QTest::mouseClick(p.grid.viewport(), Qt::LeftButton, Qt::ControlModifier, rowPoint(4));
        QCOMPARE(p.grid.SelectedRows(), (QStringList{"2", "4"}));
        QTest::mouseClick(p.grid.viewport(), Qt::LeftButton, Qt::ControlModifier, rowPoint(2));
        QCOMPARE(p.grid.SelectedRows(), QStringList{"4"});
        QTest::mouseClick(p.grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, rowPoint(5));
        QCOMPARE(p.grid.SelectedRows(), (QStringList{"2", "3", "4", "5"})); // anchor row 2
    }

    void filterMovesAcceptedRowsUpAndRestores()
    {
        ProtocolGrid p(SixTeams());
        p.grid.SortOptions().SetSecondaryIndex(QString());
        p.grid.OnSetFilter = [&](int row, bool &accept) {
            accept = p.grid.Cells(2, row) == QLatin1String("1");
        };
        p.grid.SetFiltered(true);
        QCOMPARE(p.Column(0), (QStringList{"2", "4", "6"}));
        p.grid.SetFiltered(false);
        QCOMPARE(p.grid.RowCount(), 7);
        QCOMPARE(p.Column(2), (QStringList{"1", "1", "1", "2", "2", "10"}));
    }

    void checkBoxCellsToggleBySpace()
    {
        ProtocolGrid p(SixTeams());
        p.grid.OnGetCellFormat = [](QObject *, int col, int, TGridDrawState, TFormatOptions &,
                                    bool &checkBox, bool &, bool &) { checkBox = col == 5; };
        QList<bool> states;
        p.grid.OnSetChecked = [&](QObject *, int, int, bool state) { states << state; };
        p.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.grid));
        p.grid.setFocus();
        p.grid.SetCol(5);
        QTest::keyClick(&p.grid, Qt::Key_Space);
        QCOMPARE(p.grid.Cells(5, 1), QStringLiteral("V"));
        QTest::keyClick(&p.grid, Qt::Key_Space);
        QCOMPARE(p.grid.Cells(5, 1), QString());
        QCOMPARE(states, (QList<bool>{true, false}));
    }

    void lastColumnStretchesToTheView()
    {
        ProtocolGrid p(SixTeams());
        p.grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.grid));
        for (int width : {900, 750}) {
            p.grid.resize(width, 300);
            QApplication::processEvents();
            const int edge = p.grid.CellRect(9, 0).right();
            QVERIFY2(edge < p.grid.viewport()->width() && edge > p.grid.viewport()->width() - 8,
                     qPrintable(QString::number(edge)));
        }
    }

    void insertAndExchangeRows()
    {
        ProtocolGrid p(SixTeams());
        p.grid.InsertRow(2);
        QCOMPARE(p.Column(0), (QStringList{"1", "", "2", "3", "4", "5", "6"}));
        QCOMPARE(p.grid.Row(), 2);
        p.grid.ExchangeRows(1, 4);
        QCOMPARE(p.Column(0), (QStringList{"3", "", "2", "1", "4", "5", "6"}));
    }
};

QTEST_MAIN(TestSortGrid)
#include "tst_SortGrid.moc"
