// Where spectators find the live page: the machine's addresses on the race
// network and the QR code a phone camera reads one of them from.
#pragma once

#include <QImage>
#include <QStringList>

// http://A:PORT/ for every IPv4 address of the machine's running network
// interfaces but loopback, those of virtual interfaces last; the loopback
// address when there is none.
QStringList LiveAddresses(quint16 port);

// The text as a black-on-white QR code, one pixel per module, with the quiet
// zone around it; null when the text does not fit a QR code.
QImage QrCodeImage(const QString &text);
