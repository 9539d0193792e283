// Comparison rules and the stable key pass of the protocol grid's sort.
#include "widgets/SortCompare.h"

#include "text/DistinctRanks.h"
#include "text/NumericText.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <optional>

namespace {

std::optional<double> ToDateTime(const QString &text, const QLocale &locale)
{
    QDateTime dateTime = locale.toDateTime(text.trimmed(), QLocale::ShortFormat);
    if (!dateTime.isValid()) {
        const QDate date = locale.toDate(text.trimmed(), QLocale::ShortFormat);
        if (date.isValid())
            dateTime = date.startOfDay();
    }
    return dateTime.isValid() ? std::optional<double>(dateTime.toMSecsSinceEpoch()) : std::nullopt;
}

std::optional<double> ToTime(const QString &text, const QLocale &locale)
{
    // Hours may come with one digit, seconds may follow.
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.replace(QStringLiteral("HH"), QStringLiteral("H"));
    const QString trimmed = text.trimmed();
    for (const QString &candidate : {format, format + QStringLiteral(":ss")}) {
        const QTime time = locale.toTime(trimmed, candidate);
        if (time.isValid())
            return time.msecsSinceStartOfDay();
    }
    return std::nullopt;
}

// Converts a text by the style's rule; nullopt for styles without conversion
// or when the text does not convert.
std::optional<double> Convert(const QString &text, TSortStyle style, const QLocale &locale)
{
    switch (style) {
    case ssNumeric:
        return ReadNumber(text, locale);
    case ssDateTime:
        return ToDateTime(text, locale);
    case ssTime:
        return ToTime(text, locale);
    default:
        return std::nullopt;
    }
}

bool ConvertsDate(TSortStyle style)
{
    return style == ssDateTime || style == ssTime;
}

bool SameNonDigit(QChar a, QChar b)
{
    return a == b && !a.isDigit();
}

// One key of a pass with its conversion done once.
struct Key
{
    QString text;
    std::optional<double> value; // dates and times
    NumericTextKey numeric;
};

Key KeyOf(const QString &text, TSortStyle style, const QLocale &locale)
{
    Key key{text, std::nullopt, {}};
    if (style == ssNumeric)
        key.numeric = NumericTextKeyOf(text, locale);
    else if (ConvertsDate(style))
        key.value = Convert(text, style, locale);
    return key;
}

bool ConvertsKeys(TSortStyle style)
{
    return style == ssNumeric || ConvertsDate(style) || style == ssNumericExtended;
}

// Keys of the styles that read or reduce their texts (ConvertsKeys).
int CompareConvertedKeys(const Key &a, const Key &b, TSortStyle style)
{
    // Numbers by value with the other texts grouped before or after them:
    // falling back to the text order for a single pair would make "10" <
    // "1a" < "2" < "10", an order no sort can follow.
    if (style == ssNumeric)
        return CompareNumericTextKeys(a.numeric, a.text, b.numeric, b.text);
    if (ConvertsDate(style))
        return a.value && b.value ? CompareValues(*a.value, *b.value)
                                  : OrdinalCompare(a.text, b.text);
    return CompareNumericExtended(a.text, b.text);
}

// The rank of each key's text under the caller's comparison, which then
// runs on the distinct texts only: it may do real work per call (reading
// the numbers out of two times), and a column repeats its texts.
std::vector<int> CustomRanks(const QStringList &texts, const TSortCompare &custom)
{
    const DistinctTexts distinct = DistinctTextsOf(texts);
    const std::vector<int> rankOfDistinct = RanksInOrder(distinct.texts.size(), [&](int a, int b) {
        return custom(texts[qsizetype(distinct.firstAt[std::size_t(a)])],
                      texts[qsizetype(distinct.firstAt[std::size_t(b)])]);
    });
    std::vector<int> ranks(std::size_t(texts.size()));
    for (std::size_t i = 0; i < ranks.size(); ++i)
        ranks[i] = rankOfDistinct[std::size_t(distinct.indexOf[i])];
    return ranks;
}

// A key in plain character order as a small record carrying its first
// eight characters after the prefix every key of the column shares (a
// column of "Team 1" .. "Team 999" differs only after "Team "): most
// comparisons end there, without reaching into the texts, which lie all
// over the memory.
struct TextRecord
{
    std::uint64_t head;
    std::uint64_t next;
    const QString *text;
    int position;
};

// The characters from first on, packed; characters past the end count as
// 0, below any character: a text that begins another comes first, as in
// the full comparison.
std::uint64_t PackedFrom(QStringView text, qsizetype first)
{
    std::uint64_t packed = 0;
    for (qsizetype k = first; k < first + 4; ++k)
        packed = packed << 16 | (k < text.size() ? text[k].unicode() : 0u);
    return packed;
}

// The length of the prefix all the texts share.
qsizetype SharedPrefixLength(const QStringList &texts)
{
    if (texts.empty())
        return 0;
    const QStringView first = texts.front();
    qsizetype shared = first.size();
    for (const QString &each : texts) {
        const QStringView text = QStringView(each).first(std::min(shared, each.size()));
        shared = std::mismatch(text.begin(), text.end(), first.begin()).first - text.begin();
        if (shared == 0)
            break;
    }
    return shared;
}

int CompareRecords(const TextRecord &a, const TextRecord &b)
{
    if (a.head != b.head)
        return a.head < b.head ? -1 : 1;
    if (a.next != b.next)
        return a.next < b.next ? -1 : 1;
    return OrdinalCompare(*a.text, *b.text);
}

// The positions 0 .. count - 1 in the order compare(a, b) gives, where
// before(compare(a, b)) puts a first. A merge sort keeps ties in their
// previous order and stays within its range even when a caller's
// comparison is not a consistent order.
template <typename Before, typename Compare>
std::vector<int> PositionsBy(std::size_t count, Before before, Compare compare)
{
    std::vector<int> positions(count);
    std::iota(positions.begin(), positions.end(), 0);
    std::stable_sort(positions.begin(), positions.end(),
                     [&](int a, int b) { return before(compare(a, b)); });
    return positions;
}

template <typename Before>
std::vector<int> PositionsByRank(const std::vector<int> &ranks, Before before)
{
    return PositionsBy(ranks.size(), before, [&](int a, int b) {
        return (ranks[std::size_t(a)] > ranks[std::size_t(b)]) -
               (ranks[std::size_t(a)] < ranks[std::size_t(b)]);
    });
}

template <typename Before> std::vector<int> PositionsByText(const QStringList &texts, Before before)
{
    const qsizetype shared = SharedPrefixLength(texts);
    std::vector<TextRecord> records;
    records.reserve(std::size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString &text = texts[i];
        records.push_back({PackedFrom(text, shared), PackedFrom(text, shared + 4), &text, int(i)});
    }
    std::stable_sort(records.begin(), records.end(), [&](const TextRecord &a, const TextRecord &b) {
        return before(CompareRecords(a, b));
    });
    std::vector<int> positions(records.size());
    for (std::size_t k = 0; k < records.size(); ++k)
        positions[k] = records[k].position;
    return positions;
}

} // namespace

int OrdinalCompare(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseSensitive);
}

QString LowerAscii(const QString &text)
{
    QString lowered = text;
    for (QChar &ch : lowered) {
        if (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z'))
            ch = QChar(ch.unicode() + ('a' - 'A'));
    }
    return lowered;
}

int CompareNumericExtended(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return -1;
    QString ra, rb;
    const qsizetype shorter = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < shorter; ++i) {
        if (!SameNonDigit(a[i], b[i])) {
            ra += a[i];
            rb += b[i];
        }
    }
    ra += a.mid(shorter);
    rb += b.mid(shorter);
    qsizetype chop = 0;
    const qsizetype reduced = std::min(ra.size(), rb.size());
    for (qsizetype j = 1; j <= reduced; ++j) {
        if (SameNonDigit(ra[ra.size() - j], rb[rb.size() - j]))
            ++chop;
    }
    ra.chop(chop);
    rb.chop(chop);
    if (ra == rb)
        return 0;
    bool okA = false, okB = false;
    const qlonglong na = ra.toLongLong(&okA);
    const qlonglong nb = rb.toLongLong(&okB);
    if (okA && okB)
        return na < nb ? -1 : 1;
    return OrdinalCompare(ra, rb);
}

TSortStyle DetectSortStyle(const QStringList &texts, const QLocale &locale)
{
    for (TSortStyle style : {ssNumeric, ssDateTime, ssTime}) {
        if (std::all_of(texts.begin(), texts.end(), [&](const QString &text) {
                return Convert(text, style, locale).has_value();
            }))
            return style;
    }
    return ssNormal;
}

std::vector<int> ParseColumnList(const QString &commaText)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    std::vector<int> columns;
    for (const QString &part : commaText.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const int col = part.toInt(&ok);
        if (ok)
            columns.push_back(col);
    }
    return columns;
}

std::vector<int> SortKeyColumns(int sortCol, const QString &secondaryIndex)
{
    std::vector<int> keys = ParseColumnList(secondaryIndex);
    std::erase(keys, sortCol);
    keys.insert(keys.begin(), sortCol);
    return keys;
}

std::vector<int> SortPass(const std::vector<int> &order, const QStringList &keys, TSortStyle style,
                          TSortDirection direction, bool caseSensitive, const TSortCompare &custom,
                          const QLocale &locale)
{
    QStringList lowered;
    if (!caseSensitive) {
        lowered.reserve(keys.size());
        for (const QString &key : keys)
            lowered << LowerAscii(key);
    }
    const QStringList &texts = caseSensitive ? keys : lowered;
    const auto before = [direction](int result) {
        return direction == sdDescending ? result > 0 : result < 0;
    };
    // The caller's comparison for ssCustom; without one, as every style
    // that converts nothing, plain text order.
    std::vector<int> positions;
    if (style == ssCustom && custom) {
        positions = PositionsByRank(CustomRanks(texts, custom), before);
    } else if (ConvertsKeys(style)) {
        std::vector<Key> converted;
        converted.reserve(std::size_t(texts.size()));
        for (const QString &text : texts)
            converted.push_back(KeyOf(text, style, locale));
        positions = PositionsBy(converted.size(), before, [&](int a, int b) {
            return CompareConvertedKeys(converted[a], converted[b], style);
        });
    } else {
        positions = PositionsByText(texts, before);
    }
    std::vector<int> sorted(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        sorted[i] = order[positions[i]];
    return sorted;
}
