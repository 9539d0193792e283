#include "display/LiveAddress.h"

#include <QNetworkInterface>
#include <memory>
#include <qrencode.h>

QStringList LiveAddresses(quint16 port)
{
    // The race network's cable or Wi-Fi first: the first address is the
    // one in the QR code, and a bridge of virtual machines or containers
    // reaches no phone.
    const auto pageAt = [port](const QHostAddress &address) {
        return QStringLiteral("http://%1:%2/").arg(address.toString()).arg(port);
    };
    QStringList network, virtualOnes;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        QStringList &list = interface.type() == QNetworkInterface::Virtual ? virtualOnes : network;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                list.append(pageAt(address));
        }
    }
    // Without any network the page is still there on this machine.
    if (network.isEmpty() && virtualOnes.isEmpty())
        return {pageAt(QHostAddress(QHostAddress::LocalHost))};
    return network + virtualOnes;
}

QImage QrCodeImage(const QString &text)
{
    constexpr int QuietZone = 4; // modules of white around the code
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(text.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1),
        &QRcode_free);
    if (!code)
        return {};
    const int size = code->width + 2 * QuietZone;
    QImage image(size, size, QImage::Format_Mono);
    image.fill(1);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                image.setPixel(x + QuietZone, y + QuietZone, 0);
    return image;
}
