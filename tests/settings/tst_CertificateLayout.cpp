// The certificate layout record: its byte format against stored values,
// defaults, the texts it keeps and prints, and where an entry lands on a page.
#include "settings/CertificateLayout.h"

#include <QDate>
#include <QFontMetrics>
#include <QLocale>
#include <QRandomGenerator>
#include <QtTest>
#include <climits>

namespace {

QByteArray RandomRecord(quint32 start)
{
    QRandomGenerator random(start);
    QByteArray bytes(CertificateLayout::Size, '\0');
    for (char &byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    return bytes;
}

void PutUInt32(QByteArray &bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

void PutString(QByteArray &bytes, int at, const QByteArray &text)
{
    bytes[at] = static_cast<char>(text.size());
    bytes.replace(at + 1, text.size(), text);
}

// The fields of an entry over a record's bytes, the rest left as it is.
void WriteFieldsOver(QByteArray &bytes, int index, const LayoutEntry &entry)
{
    const int at = index * LayoutEntry::Size;
    bytes[at] = char(entry.On);
    bytes[at + 1] = char(entry.Alignment);
    PutUInt32(bytes, at + 4, quint32(entry.Left));
    PutUInt32(bytes, at + 8, quint32(entry.Top));
    PutString(bytes, at + 12, entry.Text.toLatin1());
    PutString(bytes, at + 268, entry.FontName.toLatin1());
    bytes[at + 524] = char(entry.FontStyle);
    PutUInt32(bytes, at + 528, quint32(entry.FontSize));
    PutUInt32(bytes, at + 532, entry.FontColor);
}

ProtocolRow SampleRow()
{
    ProtocolRow row;
    row[ColNr] = "12";
    row[ColTeamName] = "Blitz";
    row[ColKlasse] = "A";
    row[ColFahrer] = "Anna";
    row[ColBeifahrer1] = "Bert";
    row[ColBeifahrer2] = "";
    row[ColZeit] = "60,23";
    row[ColStrafzeit] = "1,00";
    row[ColTotal] = "61,23";
    row[ColPlatz] = "1";
    return row;
}

} // namespace

class TestCertificateLayout : public QObject
{
    Q_OBJECT
private slots:
    // --- the stored record ---

    // A record as the editor leaves it comes back byte for byte, padding
    // and the bytes after each string included; any other record is brought
    // within the editor's ranges once and then stays as it is.
    void storedBytesComeBackUnchanged_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("asStored");
        QByteArray edited = RandomRecord(5);
        CertificateLayout editor;
        editor.ApplyDefaults();
        for (int i = 0; i < CertificateLayout::EntryCount; ++i)
            WriteFieldsOver(edited, i, editor.Entries[i]);
        QTest::newRow("zeros") << QByteArray(CertificateLayout::Size, '\0') << true;
        QTest::newRow("editor's, noisy padding") << edited << true;
        QTest::newRow("noise 1") << RandomRecord(1) << false;
        QTest::newRow("noise 2") << RandomRecord(77) << false;
        QTest::newRow("all 0xff") << QByteArray(CertificateLayout::Size, '\xff') << false;
    }
    void storedBytesComeBackUnchanged()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, asStored);
        CertificateLayout layout;
        QVERIFY(layout.Read(stored));
        const QByteArray once = layout.ToBytes();
        QCOMPARE(once == stored, asStored);
        for (int i = 0; i < CertificateLayout::EntryCount; ++i) {
            const int at = i * LayoutEntry::Size;
            for (const int padding : {2, 3, 525, 526, 527})
                QCOMPARE(once[at + padding], stored[at + padding]);
        }
        CertificateLayout again;
        QVERIFY(again.Read(once));
        QCOMPARE(again.ToBytes(), once);
        CertificateLayout copy = layout;
        QCOMPARE(copy.ToBytes(), once);
    }

    // Stored values beyond what the editor can set come back within it.
    void storedValuesWithinTheEditorsRanges_data()
    {
        QTest::addColumn<quint32>("position");
        QTest::addColumn<quint32>("fontSize");
        QTest::addColumn<quint8>("alignment");
        QTest::addColumn<quint8>("style");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QList<int>>("read"); // position, font size, alignment, style
        QTest::addColumn<quint32>("readColour");
        QTest::newRow("largest") << quint32(INT_MAX) << quint32(INT_MAX) << quint8(2)
                                 << quint8(0x0F) << 0x00FFFFFFu << QList<int>{999, 500, 2, 0x0F}
                                 << 0x00FFFFFFu;
        QTest::newRow("smallest") << quint32(INT_MIN) << quint32(INT_MIN) << quint8(255)
                                  << quint8(0xF0) << 0xFF000005u << QList<int>{0, 1, 0, 0}
                                  << 0xFF000005u;
        QTest::newRow("just beyond") << 1000u << 501u << quint8(3) << quint8(0x11) << 0x12345678u
                                     << QList<int>{999, 500, 0, 0x01} << 0x00345678u;
        QTest::newRow("negative") << quint32(-1) << 0u << quint8(1) << quint8(0x02) << 0xFF00FF10u
                                  << QList<int>{0, 1, 1, 0x02} << 0xFF000010u;
        QTest::newRow("editor's ends")
            << 999u << 1u << quint8(0) << quint8(0x08) << 0u << QList<int>{999, 1, 0, 0x08} << 0u;
    }
    void storedValuesWithinTheEditorsRanges()
    {
        QFETCH(quint32, position);
        QFETCH(quint32, fontSize);
        QFETCH(quint8, alignment);
        QFETCH(quint8, style);
        QFETCH(quint32, colour);
        QFETCH(QList<int>, read);
        QFETCH(quint32, readColour);
        QByteArray bytes(CertificateLayout::Size, '\0');
        const int at = 7 * LayoutEntry::Size;
        bytes[at + 1] = char(alignment);
        PutUInt32(bytes, at + 4, position);
        PutUInt32(bytes, at + 8, position);
        PutString(bytes, at + 268, "Arial");
        bytes[at + 524] = char(style);
        PutUInt32(bytes, at + 528, fontSize);
        PutUInt32(bytes, at + 532, colour);
        CertificateLayout layout;
        QVERIFY(layout.Read(bytes));
        const LayoutEntry &entry = layout.Entries[7];
        QCOMPARE(entry.Left, read[0]);
        QCOMPARE(entry.Top, read[0]);
        QCOMPARE(entry.FontSize, read[1]);
        QCOMPARE(int(entry.Alignment), read[2]);
        QCOMPARE(int(entry.FontStyle), read[3]);
        QCOMPARE(entry.FontColor, readColour);
        // An entry never set up keeps its zeros for the defaults.
        QCOMPARE(layout.Entries[6].FontSize, 0);
    }

    void fieldsSitAtTheirOffsets()
    {
        QByteArray bytes(CertificateLayout::Size, '\0');
        const int at = 5 * LayoutEntry::Size;
        bytes[at + 0] = 1;
        bytes[at + 1] = 2;
        PutUInt32(bytes, at + 4, 180);
        PutUInt32(bytes, at + 8, 7);
        PutString(bytes, at + 12,
                  "Gr\xfc\xdf"
                  "e \x80");
        PutString(bytes, at + 268, "Arial");
        bytes[at + 524] = lfBold | lfUnderline;
        PutUInt32(bytes, at + 528, 14);
        PutUInt32(bytes, at + 532, 0x00336699);

        CertificateLayout layout;
        QVERIFY(layout.Read(bytes));
        const LayoutEntry &entry = layout.Entries[5];
        QCOMPARE(entry.On, 1);
        QCOMPARE(entry.Alignment, laRight);
        QCOMPARE(entry.Left, 180);
        QCOMPARE(entry.Top, 7);
        QCOMPARE(entry.Text, QString::fromUtf8("Grüße €"));
        QCOMPARE(entry.FontName, QString("Arial"));
        QCOMPARE(entry.FontStyle, lfBold | lfUnderline);
        QCOMPARE(entry.FontSize, 14);
        QCOMPARE(entry.FontColor, 0x00336699u);
        QVERIFY(layout.Entries[4].FontName.isEmpty());
        QVERIFY(layout.Entries[6].FontName.isEmpty());

        // Changed fields go back to the same places; the rest stays zero.
        layout.Entries[5].Top = 99;
        layout.Entries[5].SetText("x");
        QByteArray expected = bytes;
        PutUInt32(expected, at + 8, 99);
        expected[at + 12] = 1;
        expected[at + 13] = 'x';
        QCOMPARE(layout.ToBytes(), expected);
    }

    void storedValueOfAnotherLength_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("read");
        QTest::addColumn<int>("entriesSetUp"); // entries whose font name was reached
        QTest::newRow("empty") << 0 << true << 0;
        QTest::newRow("one entry and most of the next") << LayoutEntry::Size + 532 << true << 2;
        QTest::newRow("all but one byte") << CertificateLayout::Size - 1 << true << 18;
        QTest::newRow("one byte too long") << CertificateLayout::Size + 1 << false << 0;
    }
    void storedValueOfAnotherLength()
    {
        QFETCH(int, length);
        QFETCH(bool, read);
        QFETCH(int, entriesSetUp);
        QByteArray stored(length, '\0');
        // Set-up entries, as far as the value reaches them.
        for (int i = 0; i * LayoutEntry::Size + 532 <= length; ++i) {
            PutString(stored, i * LayoutEntry::Size + 268, "Arial");
            PutUInt32(stored, i * LayoutEntry::Size + 528, 12);
        }

        CertificateLayout layout;
        layout.Entries[17].FontName = "left over";
        QCOMPARE(layout.Read(stored), read);
        int setUp = 0;
        for (const LayoutEntry &entry : layout.Entries)
            setUp += entry.FontName == "Arial" ? 1 : 0;
        QCOMPARE(setUp, entriesSetUp);
        const QByteArray bytes = layout.ToBytes();
        QCOMPARE(bytes.size(), CertificateLayout::Size);
        const int kept = read ? length : 0;
        QCOMPARE(bytes.left(kept), stored.left(kept));
        QCOMPARE(bytes.mid(kept), QByteArray(CertificateLayout::Size - kept, '\0'));
    }

    // --- defaults ---

    void defaultsOnAZeroRecord()
    {
        CertificateLayout layout;
        layout.ApplyDefaults();
        for (int i = 0; i < CertificateLayout::EntryCount; ++i) {
            const LayoutEntry &entry = layout.Entries[i];
            QCOMPARE(entry.On != 0, i < 8);
            QCOMPARE(entry.Left, 30);
            QCOMPARE(entry.Top, 16 * i);
            QCOMPARE(entry.Alignment, laLeft);
            QCOMPARE(entry.FontName, QString("Times New Roman"));
            QCOMPARE(entry.FontSize, 12);
            QCOMPARE(entry.FontStyle, lfBold);
            QCOMPARE(entry.FontColor, 0xFF000008u);
            QVERIFY(entry.Text.isEmpty());
        }
    }

    void defaultsLeaveSetUpEntriesAlone()
    {
        CertificateLayout layout;
        layout.Entries[3].FontName = "Arial";
        layout.Entries[3].Text = "kept";
        layout.Entries[3].Left = 123;
        layout.Entries[4].Text = "no font: replaced";
        layout.ApplyDefaults(30);
        QCOMPARE(layout.Entries[3].Left, 123);
        QCOMPARE(layout.Entries[3].Text, QString("kept"));
        QCOMPARE(layout.Entries[3].FontSize, 0);
        QVERIFY(layout.Entries[4].Text.isEmpty());
        QCOMPARE(layout.Entries[4].Top, (4 * 30 / 3) * 2);
        QCOMPARE(layout.Entries[4].FontSize, 15);
    }

    // --- texts ---

    void textsAsTheRecordHoldsThem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        const QString longText = QString(300, 'a');
        QTest::newRow("plain") << "Sieger" << QByteArray("Sieger");
        QTest::newRow("umlauts and euro") << QString::fromUtf8("Käse €5")
                                          << QByteArray("K\xe4se \x80"
                                                        "5");
        QTest::newRow("missing characters") << QString::fromUtf8("日本 x") << QByteArray("?? x");
        QTest::newRow("one ? for a surrogate pair")
            << QString::fromUtf8("a😀b") << QByteArray("a?b");
        QTest::newRow("300 bytes") << longText << QByteArray(255, 'a');
        QTest::newRow("cut after a two-unit character")
            << QString(253, 'b') + QString::fromUtf8("😀xyz")
            << QByteArray(253, 'b') + QByteArray("?x");
    }
    void textsAsTheRecordHoldsThem()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        CertificateLayout layout;
        layout.Entries[9].Text = text; // assigned directly, cut when written
        const QByteArray record = layout.ToBytes();
        const int at = 9 * LayoutEntry::Size + 12;
        QCOMPARE(static_cast<unsigned char>(record[at]), bytes.size());
        QCOMPARE(record.mid(at + 1, bytes.size()), bytes);

        LayoutEntry entry;
        entry.SetText(text);
        CertificateLayout reread;
        QVERIFY(reread.Read(record));
        QCOMPARE(entry.Text, reread.Entries[9].Text);
    }

    void entryNames()
    {
        const QStringList &names = LayoutEntryNames();
        QCOMPARE(names.size(), CertificateLayout::EntryCount);
        QCOMPARE(names.mid(0, 9),
                 QStringList({"Platz", "TeamName", "Klasse", "Fahrer", "Beifahrer1", "Beifahrer2",
                              "Total", "Dateiname", "1. Zeile"}));
        QCOMPARE(names[9], QString("2. Zeile"));
        QCOMPARE(names[17], QString("10. Zeile"));
    }

    void printedTexts_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        const QDate today(2026, 5, 17);
        QTest::newRow("Platz") << 0 << "1";
        QTest::newRow("TeamName") << 1 << "Blitz";
        QTest::newRow("Klasse") << 2 << "Klasse: A";
        QTest::newRow("Fahrer") << 3 << "Anna";
        QTest::newRow("Beifahrer1") << 4 << "Bert";
        QTest::newRow("empty Beifahrer2") << 5 << "";
        QTest::newRow("Total") << 6 << "61,23 sek.";
        QTest::newRow("Dateiname") << 7 << "Pokal";
        QTest::newRow("date") << 8 << QLocale().toString(today, QLocale::ShortFormat);
        QTest::newRow("own text") << 9 << "Herzlichen Glückwunsch";
        QTest::newRow("last own text") << 17 << "Herzlichen Glückwunsch";
    }
    void printedTexts()
    {
        QFETCH(int, index);
        QFETCH(QString, expected);
        LayoutEntry entry;
        entry.Text = "Herzlichen Glückwunsch";
        QCOMPARE(EntryPrintText(index, entry, SampleRow(), "Pokal", QDate(2026, 5, 17)), expected);
    }

    // --- placing an entry ---

    void pointSizesAndEmHeights_data()
    {
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("emHeight");
        QTest::newRow("12: 30.48") << 12 << 30 << 40;
        QTest::newRow("25: half to even up") << 25 << 64 << 85;
        QTest::newRow("75: half to even down") << 75 << 190 << 253;
        QTest::newRow("9: 22.86") << 9 << 23 << 31;
        QTest::newRow("0") << 0 << 0 << 0;
    }
    void pointSizesAndEmHeights()
    {
        QFETCH(int, fontSize);
        QFETCH(int, points);
        QFETCH(int, emHeight);
        QCOMPARE(PageCanvasPointSize(fontSize), points);
        QCOMPARE(PageEmHeight(points), emHeight);
        LayoutEntry entry;
        entry.FontName = "Arial";
        entry.FontSize = fontSize;
        entry.FontStyle = lfItalic | lfStrikeOut;
        const QFont font = PageFont(entry);
        QCOMPARE(font.pixelSize(), qMax(1, emHeight));
        QVERIFY(!font.bold() && font.italic() && font.strikeOut() && !font.underline());
    }

    void placedLeft_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("x");
        QTest::newRow("left") << 0 << 30 << 555 << 300;
        QTest::newRow("right ends at Left") << 2 << 180 << 437 << 1363;
        QTest::newRow("centred even width") << 1 << 100 << 400 << 800;
        QTest::newRow("centred x.5 to even below") << 1 << 100 << 5 << 998;
        QTest::newRow("centred x.5 to even above") << 1 << 100 << 7 << 996;
        QTest::newRow("centred past the left edge") << 1 << 0 << 3 << -2;
        QTest::newRow("unknown alignment is left") << 3 << 50 << 400 << 500;
        QTest::newRow("255 is left") << 255 << 50 << 400 << 500;
    }
    void placedLeft()
    {
        QFETCH(int, alignment);
        QFETCH(int, left);
        QFETCH(int, width);
        QFETCH(int, x);
        LayoutEntry entry;
        entry.Alignment = static_cast<std::uint8_t>(alignment);
        entry.Left = left;
        QCOMPARE(PlacedLeft(entry, width), x);
    }

    void rightAlignedTextEndsAtLeft()
    {
        LayoutEntry entry;
        entry.FontName = "Times New Roman";
        entry.FontSize = 12;
        entry.Alignment = laRight;
        entry.Left = 180;
        const int width = QFontMetrics(PageFont(entry)).horizontalAdvance("Urkunde");
        QVERIFY(width > 0);
        QCOMPARE(PlacedLeft(entry, width) + width, 1800);
    }

    void colours_data()
    {
        QTest::addColumn<quint32>("value");
        QTest::addColumn<QColor>("color");
        QTest::newRow("red") << 0x000000FFu << QColor(255, 0, 0);
        QTest::newRow("blue-green") << 0x00998800u << QColor(0, 0x88, 0x99);
        QTest::newRow("window text")
            << 0xFF000008u << QGuiApplication::palette().color(QPalette::WindowText);
        QTest::newRow("button face")
            << 0xFF00000Fu << QGuiApplication::palette().color(QPalette::Button);
    }
    void colours()
    {
        QFETCH(quint32, value);
        QFETCH(QColor, color);
        QCOMPARE(LayoutColor(value), color);
        if (!(value & LayoutEntry::SystemColorFlag))
            QCOMPARE(LayoutColorValue(color), value);
    }
};

QTEST_MAIN(TestCertificateLayout)
#include "tst_CertificateLayout.moc"
