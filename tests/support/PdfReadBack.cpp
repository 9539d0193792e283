#include "PdfReadBack.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace {

QString ToolOutput(const QString &program, const QStringList &arguments,
                   const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

QList<PdfWord> PdfWords(const QString &pdf)
{
    const QString html = ToolOutput(QStringLiteral("pdftotext"), {"-bbox", pdf, "-"});
    static const QRegularExpression pageOrWord(
        R"re(<page |<word xMin="(-?[\d.]+)" yMin="(-?[\d.]+)" xMax="(-?[\d.]+)" yMax="(-?[\d.]+)">([^<]*)</word>)re");
    constexpr double mm = 25.4 / 72;
    QList<PdfWord> words;
    int page = -1;
    for (auto match = pageOrWord.globalMatch(html); match.hasNext();) {
        const auto m = match.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        const QPointF topLeft(m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm);
        const QPointF bottomRight(m.captured(3).toDouble() * mm, m.captured(4).toDouble() * mm);
        words.append({QTextDocumentFragment::fromHtml(m.captured(5)).toPlainText(),
                      QRectF(topLeft, bottomRight), page});
    }
    return words;
}

QList<PdfWord> PdfPageWords(const QList<PdfWord> &words, int page)
{
    QList<PdfWord> onPage;
    for (const PdfWord &word : words)
        if (word.page == page)
            onPage.append(word);
    return onPage;
}

QString PdfInfo(const QString &pdf)
{
    return ToolOutput(QStringLiteral("pdfinfo"), {pdf});
}

QString PdfText(const QByteArray &pdf)
{
    return ToolOutput(QStringLiteral("pdftotext"), {"-layout", "-", "-"}, pdf);
}
