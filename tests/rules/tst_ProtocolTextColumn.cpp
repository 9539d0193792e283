// A protocol column keeps every cell's text through any sequence of
// changes, however often its characters are packed anew.
#include "protocol/ProtocolTextColumn.h"

#include <QTest>

namespace {

QStringList TextsOf(const ProtocolTextColumn &column)
{
    QStringList texts;
    for (qsizetype cell = 0; cell < column.Size(); ++cell)
        texts << column.At(cell).toString();
    return texts;
}

} // namespace

class TestProtocolTextColumn : public QObject
{
    Q_OBJECT

private slots:
    // Each step changes the column and a plain list of texts alike; a
    // picture taken on the way keeps what it showed.
    void followsAPlainListOfTexts()
    {
        ProtocolTextColumn column;
        QStringList expected;
        for (int cell = 0; cell < 300; ++cell) {
            const QString text = cell % 3 == 0 ? QString() : QStringLiteral("Team %1").arg(cell);
            column.Append(text);
            expected << text;
        }
        // Cells sharing a stretch, as the teams of a class do.
        column.AppendLike(1);
        expected << expected[1];
        const ProtocolTextColumn picture = column;
        const QStringList pictured = expected;
        // Enough rewrites that the column packs its characters several times.
        for (int round = 0; round < 400; ++round) {
            const qsizetype cell = (round * 37) % column.Size();
            const QString text = QStringLiteral("%1,%2").arg(round).arg(QString(200, u'x'));
            column.Set(cell, text);
            expected[cell] = text;
            // A cell's own text written into another cell.
            const qsizetype other = (cell + 11) % column.Size();
            column.Set(other, column.At(cell));
            expected[other] = expected[cell];
        }
        column.Insert(5, u"Neu");
        expected.insert(5, QStringLiteral("Neu"));
        column.Remove(0);
        expected.removeAt(0);
        std::vector<int> from(std::size_t(column.Size()));
        for (std::size_t k = 0; k < from.size(); ++k)
            from[k] = int(from.size() - 1 - k);
        column.Permute(from);
        std::reverse(expected.begin(), expected.end());
        column.Set(column.Size() + 2, u"hinten");
        expected << QString() << QString() << QStringLiteral("hinten");

        QCOMPARE(TextsOf(column), expected);
        QCOMPARE(TextsOf(picture), pictured);
        QVERIFY(picture.SharesText(1, picture.Size() - 1));
    }
};

QTEST_APPLESS_MAIN(TestProtocolTextColumn)
#include "tst_ProtocolTextColumn.moc"
