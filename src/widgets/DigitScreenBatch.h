// Digit changes made while a batch is open reach the screen when the
// outermost batch closes: the changed pixels of each digit are copied from
// its face straight into its window's backing store, and each window is
// flushed once. The running race clock changes a few digits a hundred times
// a second; a batch spares each tick the window's paint pass (posted
// events, clipping against the widget tree, a painter per digit).
//
// A digit whose pixels cannot be copied exactly repaints the usual way, in
// the window's next paint pass: hidden or partly covered, a window that is
// not on the screen or draws through a native child, a translucent face, or
// a backing store of another pixel format or a fractional scale.
#pragma once

#include <vector>

class QImage;
class QRect;
class QWidget;
class TDigit;

class TDigitScreenBatch
{
public:
    TDigitScreenBatch();
    ~TDigitScreenBatch();
    TDigitScreenBatch(const TDigitScreenBatch &) = delete;
    TDigitScreenBatch &operator=(const TDigitScreenBatch &) = delete;

    static bool IsOpen();
    // A digit with a changed area to show; each digit is added once.
    static void Add(TDigit *digit);
    // A digit going away before the batch closes.
    static void Remove(TDigit *digit);
    // Windows flushed to the screen this way so far, outside their paint
    // passes (the window benchmark counts them beside the passes).
    static int DirectFlushes();

private:
    static void Show(const std::vector<TDigit *> &digits);
    static void ShowInWindow(QWidget *window, const std::vector<TDigit *> &digits);
    static bool CanCopy(const TDigit *digit, const QRect &area);
    static bool CanCopyInto(const QImage &target, const std::vector<TDigit *> &digits);
    static void Copy(const TDigit *digit, const QRect &area, QImage &target);
};
