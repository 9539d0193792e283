#include "widgets/DigitScreenBatch.h"

#include "widgets/Udigit.h"

#include <QBackingStore>
#include <QImage>
#include <QRegion>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Everything here runs on the GUI thread, as all widgets do.
int openBatches = 0;
std::vector<TDigit *> changedDigits;
int directFlushes = 0;

// Formats whose pixels an opaque face (Format_RGB32: 0xffRRGGBB) is,
// byte for byte.
bool StoresPixelsAsRgb32(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

} // namespace

TDigitScreenBatch::TDigitScreenBatch()
{
    ++openBatches;
}

TDigitScreenBatch::~TDigitScreenBatch()
{
    if (--openBatches > 0)
        return;
    Show(changedDigits);
    changedDigits.clear();
}

bool TDigitScreenBatch::IsOpen()
{
    return openBatches > 0;
}

void TDigitScreenBatch::Add(TDigit *digit)
{
    changedDigits.push_back(digit);
}

void TDigitScreenBatch::Remove(TDigit *digit)
{
    std::erase(changedDigits, digit);
}

int TDigitScreenBatch::DirectFlushes()
{
    return directFlushes;
}

// Window by window, in the order their first digit changed.
void TDigitScreenBatch::Show(const std::vector<TDigit *> &digits)
{
    std::vector<QWidget *> shown;
    for (TDigit *digit : digits) {
        QWidget *window = digit->window();
        if (std::ranges::find(shown, window) != shown.end())
            continue;
        shown.push_back(window);
        std::vector<TDigit *> inWindow;
        std::ranges::copy_if(digits, std::back_inserter(inWindow),
                             [window](const TDigit *d) { return d->window() == window; });
        ShowInWindow(window, inWindow);
    }
}

void TDigitScreenBatch::ShowInWindow(QWidget *window, const std::vector<TDigit *> &digits)
{
    QBackingStore *store = window->backingStore();
    QWindow *handle = window->windowHandle();
    const bool onScreen = store && handle && handle->isExposed();
    std::vector<TDigit *> copied;
    QRegion flushed;
    for (TDigit *digit : digits) {
        const QRect &area = digit->m_changedArea;
        if (onScreen && CanCopy(digit, area)) {
            copied.push_back(digit);
            flushed += area.translated(digit->mapTo(window, QPoint()));
        } else {
            digit->update(std::exchange(digit->m_changedArea, QRect()));
        }
    }
    if (copied.empty())
        return;
    store->beginPaint(flushed);
    QPaintDevice *device = store->paintDevice();
    const bool copyable = device->devType() == QInternal::Image &&
                          CanCopyInto(*static_cast<QImage *>(device), copied);
    for (TDigit *digit : copied) {
        const QRect area = std::exchange(digit->m_changedArea, QRect());
        if (copyable)
            Copy(digit, area, *static_cast<QImage *>(device));
        else
            digit->update(area);
    }
    store->endPaint();
    if (copyable) {
        store->flush(flushed, handle);
        ++directFlushes;
    }
}

// The digit shows on its window's own surface, every pixel of the area is
// its own, and its face replaces what is there without blending.
bool TDigitScreenBatch::CanCopy(const TDigit *digit, const QRect &area)
{
    if (!digit->isVisible() || !digit->updatesEnabled() ||
        digit->nativeParentWidget() != digit->window() || !digit->IsOpaque())
        return false;
    return digit->visibleRegion().intersected(area) == QRegion(area);
}

// Pixels of the same layout, at the same whole-number scale, with room for
// every copied area.
bool TDigitScreenBatch::CanCopyInto(const QImage &target, const std::vector<TDigit *> &digits)
{
    const qreal ratio = target.devicePixelRatio();
    if (!StoresPixelsAsRgb32(target.format()) || ratio != std::floor(ratio))
        return false;
    const QWidget *window = digits.front()->window();
    return std::ranges::all_of(digits, [&](const TDigit *digit) {
        const QRect area = digit->m_changedArea.translated(digit->mapTo(window, QPoint()));
        const QRect device(area.topLeft() * ratio, area.size() * ratio);
        return target.rect().contains(device);
    });
}

void TDigitScreenBatch::Copy(const TDigit *digit, const QRect &area, QImage &target)
{
    const int ratio = int(target.devicePixelRatio());
    const QImage face = digit->Face(ratio);
    const QRect from(area.topLeft() * ratio, area.size() * ratio);
    const QPoint to = (area.topLeft() + digit->mapTo(digit->window(), QPoint())) * ratio;
    const qsizetype fromStride = face.bytesPerLine();
    const qsizetype toStride = target.bytesPerLine();
    const uchar *fromRow = face.constBits() + from.y() * fromStride + from.x() * 4;
    uchar *toRow = target.bits() + to.y() * toStride + to.x() * 4;
    const std::size_t rowBytes = std::size_t(from.width()) * 4;
    for (int y = 0; y < from.height(); ++y, fromRow += fromStride, toRow += toStride)
        std::memcpy(toRow, fromRow, rowBytes);
}
