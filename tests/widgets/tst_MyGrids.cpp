// The string grid base: the sparse store, texts kept beyond the counts, the
// row and column views, moving and deleting rows, counts and their errors,
// and the update bracket's effect on SizeChanged.
#include "widgets/StringGrid.h"
#include "widgets/StringGridLineView.h"

#include <QScrollBar>
#include <QtTest>

#include <numeric>
#include <random>

namespace {

// Counts SizeChanged calls, which the base only makes outside an update.
class CountingGrid : public TMyStringGrid
{
public:
    int sizeChanges = 0;

protected:
    void SizeChanged(int oldColCount, int oldRowCount) override
    {
        ++sizeChanges;
        TMyStringGrid::SizeChanged(oldColCount, oldRowCount);
    }
};

QStringList RowTexts(TMyStringGrid &grid, int row)
{
    QStringList texts;
    for (int col = 0; col < grid.ColCount(); ++col)
        texts << grid.Cells(col, row);
    return texts;
}

QString ErrorText(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EInvalidGridOperation &error) {
        return error.Message();
    }
    return QString();
}

// A header "Nr." with the marker in column 1, and seven rows of "alt" with
// the marker in column 0, of which rows 3..7 are kept beyond the count.
void FillOldRows(TMyStringGrid &grid, QObject *marker)
{
    grid.SetRowCount(8);
    grid.SetCells(0, 0, QStringLiteral("Nr."));
    grid.SetObjects(1, 0, marker);
    for (int row = 1; row <= 7; ++row) {
        grid.SetCells(1, row, QStringLiteral("alt"));
        grid.SetObjects(0, row, marker);
    }
    grid.SetRowCount(3);
}

} // namespace

class TestMyGrids : public QObject
{
    Q_OBJECT
private slots:
    void sparseListMovesShiftTheItemsBetween()
    {
        TSparseList<int> list;
        for (int i = 0; i < 40; ++i)
            list.Put(i, i + 1); // 0 reads as "never written"
        list.Move(2, 35);
        QCOMPARE(*list.Get(35), 3);
        QCOMPARE(*list.Get(2), 4);
        list.Move(35, 2);
        QCOMPARE(*list.Get(2), 3);
        list.Insert(1, 100);
        QCOMPARE(list.Count(), 41);
        QCOMPARE(*list.Get(2), 2);
        list.Delete(0);
        QCOMPARE(*list.Get(0), 100);
        QCOMPARE(list.Count(), 40);
        list.Exchange(0, 39);
        QCOMPARE(*list.Get(0), 40);
        QVERIFY(list.Get(1000) == nullptr);
        try {
            list.Get(-3);
            QFAIL("negative index accepted");
        } catch (const EListError &error) {
            QCOMPARE(error.Message(), QStringLiteral("List index out of bounds (-3)"));
        }
    }

    // A column's cells: moves, exchanges, inserts, deletes and reorders
    // carry each text with its object; unwritten cells read empty.
    void stringListCellsMoveWithTheirObjects()
    {
        QObject marker;
        TStringSparseList column;
        for (int i = 0; i < 6; ++i)
            column.Put(i, QStringLiteral("c%1").arg(i));
        column.PutObject(2, &marker);
        column.Move(2, 4); // c0 c1 c3 c4 c2 c5
        QCOMPARE(column.Get(4), QStringLiteral("c2"));
        QCOMPARE(column.GetObject(4), &marker);
        QCOMPARE(column.Get(2), QStringLiteral("c3"));
        QVERIFY(!column.GetObject(2));
        column.Reorder(1, {4, 1, 5, 2, 3}); // c0 c2 c1 c5 c3 c4
        QCOMPARE(column.Get(1), QStringLiteral("c2"));
        QCOMPARE(column.GetObject(1), &marker);
        QCOMPARE(column.Get(5), QStringLiteral("c4"));
        column.Exchange(1, 8);
        QCOMPARE(column.GetObject(8), &marker);
        QCOMPARE(column.Get(1), QString());
        QCOMPARE(column.Count(), 9);
        column.Insert(0, QStringLiteral("new"));
        QCOMPARE(column.GetObject(9), &marker);
        column.Delete(0);
        column.Delete(0);
        QCOMPARE(column.Get(0), QString());
        QCOMPARE(column.GetObject(7), &marker);
        QCOMPARE(column.Count(), 8);
        column.Put(40, QString()); // nothing stored
        QCOMPARE(column.Count(), 8);
        QCOMPARE(column.Get(1000), QString());
        try {
            column.Get(-2);
            QFAIL("negative index accepted");
        } catch (const EListError &error) {
            QCOMPARE(error.Message(), QStringLiteral("List index out of bounds (-2)"));
        }
    }

    // A reorder moves each cell along its cycle: against a plain gather
    // over many random orders, short cycles, long ones and cells that stay,
    // with objects on some cells and cells past the stored ones.
    void reorderMatchesAGatherOfTheCells()
    {
        std::mt19937 random(7);
        QObject markers[3];
        for (int round = 0; round < 300; ++round) {
            const int first = int(random() % 3);
            const int count = 1 + int(random() % 40);
            const int stored = int(random() % (first + count + 3));
            TStringSparseList column;
            QStringList before;
            std::vector<QObject *> objects;
            for (int i = 0; i < first + count; ++i) {
                before << (i < stored ? QStringLiteral("c%1").arg(i) : QString());
                column.Put(i, before.back());
                objects.push_back(random() % 5 == 0 ? &markers[i % 3] : nullptr);
                column.PutObject(i, objects.back());
            }
            std::vector<int> from(static_cast<std::size_t>(count));
            std::iota(from.begin(), from.end(), first);
            // Every fourth order moves only a few cells.
            if (round % 4 == 0)
                std::swap(from[random() % from.size()], from[random() % from.size()]);
            else
                std::shuffle(from.begin(), from.end(), random);
            column.Reorder(first, from);
            for (int k = 0; k < count; ++k) {
                QCOMPARE(column.Get(first + k), before[from[std::size_t(k)]]);
                QCOMPARE(column.GetObject(first + k), objects[std::size_t(from[std::size_t(k)])]);
            }
            for (int i = 0; i < first; ++i)
                QCOMPARE(column.Get(i), before[i]);
        }
    }

    // An order that is no permutation of the cells it reorders would drop
    // some cells and double others: it is refused before anything moves.
    void reorderRefusesWhatIsNoPermutation_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<std::vector<int>>("from");
        QTest::newRow("a cell twice") << 1 << std::vector<int>{2, 2, 3};
        QTest::newRow("a cell before first") << 1 << std::vector<int>{0, 1, 2};
        QTest::newRow("a cell past the range") << 1 << std::vector<int>{1, 2, 4};
        QTest::newRow("a chain into a cycle") << 0 << std::vector<int>{1, 2, 1};
        QTest::newRow("negative") << 0 << std::vector<int>{-1, 0};
    }
    void reorderRefusesWhatIsNoPermutation()
    {
        QFETCH(int, first);
        QFETCH(std::vector<int>, from);
        TStringSparseList column;
        for (int i = 0; i < 5; ++i)
            column.Put(i, QStringLiteral("c%1").arg(i));
        QVERIFY_THROWS_EXCEPTION(EListError, column.Reorder(first, from));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(column.Get(i), QStringLiteral("c%1").arg(i));
    }

    // Rows replaced at once and rows put in a new order keep their cells
    // and objects together. A replacement keeps the header row and drops
    // every old data row with its objects, even those beyond the count.
    void rowsReplacedAndReorderedWhole()
    {
        QObject marker;
        TMyStringGrid grid;
        FillOldRows(grid, &marker);
        const QStringList texts[] = {{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}};
        grid.ReplaceDataRows(4, 2, [&](int col, int k) { return texts[k][col]; });
        QCOMPARE(grid.RowCount(), 5);
        QCOMPARE(grid.Cells(0, 0), QStringLiteral("Nr."));
        QCOMPARE(grid.Objects(1, 0), &marker);
        for (int row = 1; row <= 7; ++row)
            QVERIFY(!grid.Objects(0, row));
        grid.SetRowCount(8);
        for (int row = 5; row <= 7; ++row)
            QCOMPARE(RowTexts(grid, row), QStringList(grid.ColCount()));
        grid.SetObjects(1, 2, &marker);
        grid.ReorderDataRows({3, 1, 2});
        QCOMPARE(RowTexts(grid, 1).mid(0, 2), QStringList({"3", "c"}));
        QCOMPARE(RowTexts(grid, 2).mid(0, 2), QStringList({"1", "a"}));
        QCOMPARE(RowTexts(grid, 3).mid(0, 2), QStringList({"2", "b"}));
        QCOMPARE(grid.Objects(1, 3), &marker);
        QVERIFY(!grid.Objects(1, 2));
        QCOMPARE(RowTexts(grid, 4).mid(0, 2), QStringList({"4", "d"}));
    }

    // Whole columns taken over as the data rows: the fixed row keeps its
    // text and object whatever the lists hold in its place, the old rows go
    // with their objects and the texts kept beyond the count, and rows a
    // short list does not reach read empty.
    void rowsReplacedByWholeColumns_data()
    {
        QTest::addColumn<QList<QStringList>>("columns");
        QTest::addColumn<int>("rows");
        QTest::newRow("as long as the rows")
            << QList<QStringList>{{"", "1", "2", "3"}, {"", "a", "b", "c"}} << 3;
        QTest::newRow("a text in the header's place")
            << QList<QStringList>{{"x", "1", "2", "3"}, {"y", "a", "b", "c"}} << 3;
        QTest::newRow("short lists") << QList<QStringList>{{"", "1"}, {""}, {}} << 3;
        QTest::newRow("more rows than before")
            << QList<QStringList>{QStringList(12, "n"), QStringList(12, "t")} << 11;
    }
    void rowsReplacedByWholeColumns()
    {
        QFETCH(QList<QStringList>, columns);
        QFETCH(int, rows);
        QObject marker;
        TMyStringGrid grid;
        FillOldRows(grid, &marker);
        std::vector<QList<QString>> texts(columns.begin(), columns.end());
        grid.ReplaceDataRows(rows, texts);
        QCOMPARE(grid.RowCount(), rows + 1);
        QCOMPARE(grid.Cells(0, 0), QStringLiteral("Nr."));
        QCOMPARE(grid.Cells(1, 0), QString());
        QCOMPARE(grid.Objects(1, 0), &marker);
        grid.SetRowCount(std::max(rows + 1, 12));
        for (int row = 1; row < grid.RowCount(); ++row) {
            QVERIFY(!grid.Objects(0, row));
            for (int col = 0; col < 2; ++col) {
                const QStringList &column = columns.value(col);
                QCOMPARE(grid.Cells(col, row), row <= rows ? column.value(row) : QString());
            }
        }
    }

    // The grid's colour shows where no cell paints: right of the last
    // column, below the last row, and in the gaps between cells whose lines
    // are left out; the cells and their lines cover the rest.
    void gridColourShowsWhereNoCellPaints_data()
    {
        QTest::addColumn<int>("lineOptions");
        QTest::addColumn<int>("lineWidth");
        QTest::addColumn<bool>("verticalGapShowsColour");
        QTest::addColumn<bool>("horizontalGapShowsColour");
        const int all = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine;
        QTest::newRow("all lines") << all << 1 << false << false;
        QTest::newRow("no vertical lines") << (all & ~goVertLine) << 1 << true << false;
        QTest::newRow("no horizontal lines") << (all & ~goHorzLine) << 2 << false << true;
        QTest::newRow("no lines at all, no width") << 0 << 0 << false << false;
    }
    void gridColourShowsWhereNoCellPaints()
    {
        QFETCH(int, lineOptions);
        QFETCH(int, lineWidth);
        QFETCH(bool, verticalGapShowsColour);
        QFETCH(bool, horizontalGapShowsColour);
        const QColor colour(200, 0, 0);
        TMyStringGrid grid;
        grid.SetColCount(3);
        grid.SetRowCount(3);
        grid.SetDefaultColWidth(40);
        grid.SetDefaultRowHeight(20);
        grid.SetColor(colour);
        grid.SetGridLineWidth(lineWidth);
        grid.SetOptions(TGridOptions(lineOptions));
        grid.resize(300, 200);
        const QImage image = grid.viewport()->grab().toImage();
        const auto shows = [&](int x, int y) { return image.pixelColor(x, y) == colour; };
        // Right of the last column and below the last row.
        QVERIFY(shows(3 * (40 + lineWidth) + 5, 10));
        QVERIFY(shows(10, 3 * (20 + lineWidth) + 5));
        // A data cell's own face (not the current cell's) is the grid's
        // colour too.
        QVERIFY(shows(2 * (40 + lineWidth) + 10, 2 * (20 + lineWidth) + 10));
        if (lineWidth > 0) {
            QCOMPARE(shows(2 * 40 + lineWidth, 20 + lineWidth + 10), verticalGapShowsColour);
            QCOMPARE(shows(40 + lineWidth + 10, 2 * 20 + lineWidth), horizontalGapShowsColour);
        }
    }

    void textsReappearBeyondAShrunkCount()
    {
        TMyStringGrid grid;
        grid.SetRowCount(6);
        for (int row = 1; row <= 5; ++row)
            grid.SetCells(1, row, QString::number(row));
        grid.SetRowCount(2);
        QCOMPARE(grid.RowCount(), 2);
        grid.SetRowCount(6);
        for (int row = 2; row <= 5; ++row)
            QCOMPARE(grid.Cells(1, row), QString::number(row));
        QCOMPARE(grid.Cells(3, 4), QString()); // never written
    }

    void rowViewSetText_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QStringList>("expected");
        QStringList withBlank{"a", " ", "b"};
        while (withBlank.size() < 10)
            withBlank << QString();
        QTest::newRow("empty line becomes a blank") << "a\n\nb" << withBlank;
        QTest::newRow("CR LF lines, trailing break") << "a\r\n\r\nb\r\n" << withBlank;
        QStringList first10;
        QString twelve;
        for (int i = 0; i < 12; ++i) {
            twelve += QStringLiteral("L%1\n").arg(i);
            if (i < 10)
                first10 << QStringLiteral("L%1").arg(i);
        }
        QTest::newRow("lines beyond the count are dropped") << twelve << first10;
    }
    void rowViewSetText()
    {
        QFETCH(QString, lines);
        QFETCH(QStringList, expected);
        TMyStringGrid grid;
        grid.SetColCount(10);
        for (int col = 0; col < 10; ++col)
            grid.SetCells(col, 2, QStringLiteral("old"));
        grid.Rows(2)->SetText(lines);
        QCOMPARE(RowTexts(grid, 2), expected);
    }

    void viewsAddAssignAndRefuseShapeChanges()
    {
        TMyStringGrid grid;
        grid.SetColCount(3);
        grid.SetRowCount(3);
        TMyStringGridStrings *col = grid.Cols(1);
        QCOMPARE(col->Count(), 3);
        QCOMPARE(col->Add(QString()), 0);
        QCOMPARE(grid.Cells(1, 0), QStringLiteral(" "));
        QCOMPARE(col->Add(QStringLiteral("x")), 1);
        QCOMPARE(col->Add(QStringLiteral("y")), 2);
        QCOMPARE(col->Add(QStringLiteral("z")), -1);
        grid.Rows(1)->Assign({"p", "q", "r", "s"});
        QCOMPARE(RowTexts(grid, 1), (QStringList{"p", "q", "r"}));
        grid.Rows(1)->Assign({"t"});
        QCOMPARE(RowTexts(grid, 1), (QStringList{"t", "q", "r"}));
        const QString refused = QStringLiteral("Cannot insert or delete rows from grid");
        QCOMPARE(ErrorText([&] { grid.Rows(1)->Insert(0, QStringLiteral("n")); }), refused);
        QCOMPARE(ErrorText([&] { grid.Cols(0)->Delete(0); }), refused);
        col->Clear();
        QCOMPARE(grid.Cells(1, 2), QString());
    }

    void deleteRowKeepsTheOldTextBeyondTheCount()
    {
        TMyStringGrid grid;
        grid.SetRowCount(6);
        for (int row = 0; row < 6; ++row)
            grid.SetCells(0, row, QStringLiteral("r%1").arg(row));
        grid.SetRow(4);
        grid.DeleteRow(3);
        QCOMPARE(grid.RowCount(), 5);
        QCOMPARE(grid.Cells(0, 3), QStringLiteral("r4"));
        QCOMPARE(grid.Cells(0, 4), QStringLiteral("r5"));
        QCOMPARE(grid.Cells(0, 5), QStringLiteral("r3"));
        QCOMPARE(grid.Row(), 3); // the current row followed its data
    }

    void moveColumnMovesCellsWidthsAndCurrent()
    {
        TMyStringGrid grid;
        grid.SetColCount(4);
        grid.SetFixedCols(0);
        grid.SetCells(0, 1, QStringLiteral("a"));
        grid.SetCells(3, 1, QStringLiteral("d"));
        grid.SetColWidths(0, 99);
        grid.SetCol(0);
        int from = -1, to = -1;
        grid.OnColumnMoved = [&](QObject *, int f, int t) { from = f, to = t; };
        grid.MoveColumn(0, 3);
        QCOMPARE(RowTexts(grid, 1), (QStringList{"", "", "d", "a"}));
        QCOMPARE(grid.ColWidths(3), 99);
        QCOMPARE(grid.ColWidths(0), grid.DefaultColWidth());
        QCOMPARE(grid.Col(), 3);
        QCOMPARE(from, 0);
        QCOMPARE(to, 3);
    }

    void countsAndErrors()
    {
        TMyStringGrid grid;
        grid.SetFixedRows(1);
        grid.SetRowCount(0);
        QCOMPARE(grid.RowCount(), 1);
        QCOMPARE(grid.FixedRows(), 0); // reduced below the count
        grid.SetColCount(-5);
        QCOMPARE(grid.ColCount(), 1);
        QCOMPARE(grid.FixedCols(), 0);
        QCOMPARE(ErrorText([&] { grid.SetFixedRows(1); }),
                 QStringLiteral("Fixed row count must be less than row count"));
        QCOMPARE(ErrorText([&] { grid.SetFixedCols(3); }),
                 QStringLiteral("Fixed column count must be less than column count"));
        QCOMPARE(ErrorText([&] { grid.SetRow(7); }), QStringLiteral("Grid index out of range"));
        QCOMPARE(ErrorText([&] { grid.DeleteRow(0); }),
                 QStringLiteral("Too many rows or columns deleted"));
        QCOMPARE(ErrorText([&] { grid.SetRowCount(1 << 20), grid.SetColCount(1 << 12); }),
                 QStringLiteral("Grid too large for operation"));
        QCOMPARE(grid.ColCount(), 1);
    }

    void selectionCheckCanRefuse()
    {
        TMyStringGrid grid;
        grid.OnSelectCell = [](QObject *, int, int row, bool &canSelect) { canSelect = row != 3; };
        grid.SetRow(3);
        QCOMPARE(grid.Row(), 1);
        grid.SetRow(4);
        QCOMPARE(grid.Row(), 4);
        grid.SetSelection({1, 2, 3, 3}); // no check here
        QCOMPARE(grid.Row(), 3);
        QCOMPARE(grid.Selection(), (TGridRect{1, 2, 3, 3}));
    }

    void updateBracketKeepsCountChangesFromSizeChanged()
    {
        CountingGrid grid;
        int begins = 0;
        grid.OnBeginUpdate = [&](QObject *) { ++begins; };
        grid.BeginUpdate();
        QVERIFY(grid.NowUpdating());
        QVERIFY(!grid.isEnabled());
        grid.SetRowCount(20);
        grid.EndUpdate();
        QCOMPARE(grid.sizeChanges, 0);
        QCOMPARE(grid.RowCount(), 20);
        QVERIFY(grid.isEnabled());
        QVERIFY(!grid.NowUpdating());
        QCOMPARE(begins, 1);
        grid.SetRowCount(3);
        QCOMPARE(grid.sizeChanges, 1);
    }

    void scrollRangeFollowsRowsAddedInAnUpdate()
    {
        TMyStringGrid grid;
        grid.resize(300, 200);
        grid.BeginUpdate();
        grid.SetRowCount(1000);
        grid.EndUpdate();
        QVERIFY(grid.verticalScrollBar()->maximum() > 900);
        grid.SetTopRow(5000);
        QCOMPARE(grid.TopRow(), grid.RowCount() - grid.VisibleRowCount());
    }

    void onlyVisibleCellsArePainted()
    {
        TMyStringGrid grid;
        grid.resize(330, 250);
        grid.SetColCount(10);
        grid.SetRowCount(100000);
        grid.SetTopRow(50000);
        QSet<int> rows;
        int cells = 0;
        grid.OnDrawCell = [&](QObject *, int, int row, QRect, TGridDrawState) {
            ++cells;
            rows.insert(row);
        };
        grid.grab();
        // One partly visible row and column beyond the full ones, plus the fixed ones.
        QVERIFY(rows.contains(0));
        QVERIFY(rows.contains(50000));
        QVERIFY(!rows.contains(1));
        QVERIFY(rows.size() <= grid.VisibleRowCount() + 2);
        QVERIFY(cells <= (grid.VisibleRowCount() + 2) * (grid.VisibleColCount() + 2));
    }

    void secondEndUpdateOfANestedBracketReachesSizeChanged()
    {
        CountingGrid grid;
        grid.setEnabled(false);
        grid.BeginUpdate();
        grid.BeginUpdate();
        grid.SetRowCount(9);
        grid.EndUpdate();
        QVERIFY(!grid.NowUpdating()); // not counted
        QVERIFY(grid.isEnabled());    // enabled whatever it was before
        QCOMPARE(grid.sizeChanges, 0);
        grid.EndUpdate();
        QCOMPARE(grid.sizeChanges, 1);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void shrinkingInsideAnUpdateStillClampsTheCurrentCell()
    {
        TMyStringGrid grid;
        grid.SetRowCount(50);
        grid.SetRow(40);
        grid.BeginUpdate();
        grid.SetRowCount(3);
        grid.EndUpdate();
        QCOMPARE(grid.Row(), 2);
    }

    void dragsSizeAndMoveRowsAndColumns()
    {
        TMyStringGrid grid; // fixed column 0 and row 0, 64 x 24 cells, 1-pixel lines
        grid.resize(400, 300);
        grid.SetOptions(grid.Options() | goColSizing | goRowSizing | goRowMoving);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QWidget *view = grid.viewport();
        // Column 1 spans x 65..128; drag its right border to x 160.
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(129, 10));
        QTest::mouseMove(view, QPoint(160, 10));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(160, 10));
        QCOMPARE(grid.ColWidths(1), 160 - 65);
        // Row 2 spans y 50..73; drag its bottom border in the fixed column down to 90.
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(20, 74));
        QTest::mouseMove(view, QPoint(20, 90));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(20, 90));
        QCOMPARE(grid.RowHeights(2), 90 - 50);
        // Drag row 1 by its fixed cell onto row 3.
        grid.SetCells(1, 1, QStringLiteral("moved"));
        grid.SetRow(1);
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(20, 35));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(20, grid.CellRect(0, 3).center().y()));
        QCOMPARE(grid.Cells(1, 3), QStringLiteral("moved"));
        QCOMPARE(grid.Row(), 3);
        QCOMPARE(grid.RowHeights(1), 40); // the height moved with its row
    }

    void editorWritesBackAndEscapeRestores()
    {
        TMyStringGrid grid;
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.SetOptions(grid.Options() | goEditing);
        grid.SetCells(1, 1, QStringLiteral("old"));
        QStringList written;
        grid.OnSetEditText = [&](QObject *, int, int, const QString &v) { written << v; };
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_F2);
        QVERIFY(grid.EditorMode());
        QCOMPARE(grid.InplaceEditor()->text(), QStringLiteral("old"));
        QTest::keyClicks(grid.InplaceEditor(), QStringLiteral("er"));
        QCOMPARE(grid.Cells(1, 1), QStringLiteral("older")); // written at every change
        QTest::keyClick(grid.InplaceEditor(), Qt::Key_Escape);
        QVERIFY(!grid.EditorMode());
        QCOMPARE(grid.Cells(1, 1), QStringLiteral("old"));
        QVERIFY(written.contains(QStringLiteral("olde")));
        grid.SetOptions(grid.Options() | goRowSelect);
        QTest::keyClick(&grid, Qt::Key_F2);
        QVERIFY(!grid.EditorMode()); // browsing, no editor
    }

    void destroyingAGridWhileEditing()
    {
        QWidget window;
        auto *grid = new TMyStringGrid(&window);
        grid->SetOptions(grid->Options() | goEditing);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F2);
        QVERIFY(grid->InplaceEditor()->hasFocus());
        delete grid; // no call back into a half-destroyed grid
        QVERIFY(window.children().isEmpty());
    }
};

QTEST_MAIN(TestMyGrids)
#include "tst_MyGrids.moc"
