// Printing the protocol page.
#include "protocol/ProtocolPrint.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>

std::unique_ptr<QTextDocument> ProtocolPageDocument(const QByteArray &page)
{
    auto document = std::make_unique<QTextDocument>();
    document->setHtml(QString::fromUtf8(page));
    return document;
}

QByteArray ProtocolPagePdf(const QByteArray &page, const QString &title)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Duobahn"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        ProtocolPageDocument(page)->print(&writer);
    }
    return pdf;
}
