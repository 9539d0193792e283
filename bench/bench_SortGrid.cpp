// Timings of the protocol grid at scale: sorting 100 000 rows by a numeric
// column with a custom-compared secondary key, saving them, and painting the
// view with few or many rows. With "--shot <file.png>" it also saves a view
// of 5 000 rows after a header click on "Klasse".
#include "widgets/SortGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Times first, then blanks, "AUS", "DIS"; like the protocol's result order.
int ResultKey(const QString &text)
{
    if (text.trimmed().isEmpty())
        return 19;
    if (text == QLatin1String("AUS"))
        return 20;
    if (text == QLatin1String("DIS"))
        return 21;
    return static_cast<int>(text.size());
}

int CompareResult(const QString &a, const QString &b)
{
    const int ka = ResultKey(a), kb = ResultKey(b);
    if (ka != kb)
        return ka > kb ? 1 : -1;
    return QString::compare(a, b);
}

void Configure(TSortGrid &grid)
{
    grid.SetColCount(10);
    grid.SetScrollBars(ssVertical);
    grid.SetDefaultColWidth(70);
    grid.SetDefaultRowHeight(19);
    grid.SetOptions(grid.Options() | goRowSelect | goColSizing | goDrawFocusSelected);
    grid.SortOptions().SetSecondaryIndex(QStringLiteral("8"));
    grid.SortOptions().SetSortCaseSensitive(true);
    grid.SortOptions().SetSortCol(2);
    grid.OnGetSortStyle = [&grid](QObject *, int col, TSortStyle &style) {
        if (col == 0 || col == 2) {
            style = ssNumeric;
        } else if (col >= 6) {
            style = ssCustom;
            grid.SortOptions().SortCompare = CompareResult;
        } else {
            style = ssNormal;
        }
    };
    grid.OnGetCellFormat = [](QObject *, int col, int row, TGridDrawState, TFormatOptions &format,
                              bool &, bool &, bool &) {
        if (row > 0 && (col == 0 || col >= 6))
            format.AlignmentHorz = taRightJustify;
        if (row == 3)
            format.FontColor = QColor(255, 0, 0);
    };
}

void Fill(TSortGrid &grid, int rows)
{
    QRandomGenerator random(42);
    grid.BeginUpdate();
    grid.SetRowCount(rows + 1);
    grid.Rows(0)->Assign({"Nr.", "TeamName", "Klasse", "Fahrer", "Beifahrer1", "Beifahrer2", "Zeit",
                          "Strafzeit", "Total", "Platz"});
    for (int row = 1; row <= rows; ++row) {
        const int hundredths = random.bounded(3000, 20000);
        const QString time =
            QStringLiteral("%1,%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QChar('0'));
        const int fate = random.bounded(100);
        const QString total = fate < 3   ? QStringLiteral("DIS")
                              : fate < 6 ? QStringLiteral("AUS")
                              : fate < 9 ? QString()
                                         : time;
        grid.Rows(row)->Assign({QString::number(row), QStringLiteral("Team %1").arg(row),
                                QString::number(random.bounded(1, 21)),
                                QStringLiteral("Fahrer %1").arg(random.bounded(1000)), "", "", time,
                                "0,00", total, ""});
    }
    grid.EndUpdate();
}

double Millis(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

double PaintMillis(int rows)
{
    TSortGrid grid;
    Configure(grid);
    grid.resize(760, 600);
    Fill(grid, rows);
    grid.SetRow(rows / 2);
    grid.grab(); // warm-up: fonts and style
    const int repeats = 20;
    return Millis([&] {
               for (int i = 0; i < repeats; ++i)
                   grid.grab();
           }) /
           repeats;
}

void ClickHeader(TSortGrid &grid, int col)
{
    const QPointF at(71 * col + 35, 9);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, grid.viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(grid.viewport(), &event);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rows = 100000;
    {
        TSortGrid grid;
        Configure(grid);
        grid.resize(760, 600);
        const double fill = Millis([&] { Fill(grid, rows); });
        const double sort = Millis([&] { grid.SortByColumn(2); });
        grid.SortOptions().SetSortDirection(sdDescending);
        const double sortBack = Millis([&] { grid.SortByColumn(2); });
        grid.SortOptions().SetSortDirection(sdAscending);
        const double sortNames = Millis([&] { grid.SortByColumn(1); });
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("protokoll.csv"));
        const double save = Millis([&] { grid.SaveToFile(file); });
        std::printf("fill %d rows x 10: %.1f ms\n", rows, fill);
        std::printf("sort by class + total (numeric + custom): %.1f ms\n", sort);
        std::printf("same, descending: %.1f ms\n", sortBack);
        std::printf("sort by team name + total: %.1f ms\n", sortNames);
        std::printf("SaveToFile %d rows: %.1f ms (%lld bytes)\n", rows, save,
                    static_cast<long long>(QFileInfo(file).size()));
    }
    for (int count : {100, 1000, 100000})
        std::printf("paint 760x600 view with %d rows: %.2f ms\n", count, PaintMillis(count));

    const int shot = app.arguments().indexOf(QStringLiteral("--shot"));
    if (shot > 0 && shot + 1 < argc) {
        TSortGrid grid;
        Configure(grid);
        grid.resize(760, 400);
        Fill(grid, 5000);
        grid.show();
        QApplication::processEvents();
        grid.SetRow(3);
        ClickHeader(grid, 2); // already the sort column: turns descending
        const QString name = app.arguments().at(shot + 1);
        grid.grab().save(name);
        ClickHeader(grid, 1); // another column: ascending by name
        grid.grab().save(
            QString(name).replace(QStringLiteral(".png"), QStringLiteral("-name.png")));
    }
    return 0;
}
