// The coloured button: face colour in every state, the pressed shift, the
// engraved disabled caption, the focus marks, presses and clicks from mouse
// and keyboard, and the dialog roles.
#include "widgets/ButtonWithColor.h"

#include "PaintCounter.h"
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QVBoxLayout>

#include <QtTest>

namespace {

// A race button as the main window builds it: 120 x 50, bold 21-pixel caption.
std::unique_ptr<TBitBtnWithColor> RaceButton(const QString &caption, const QColor &face)
{
    auto button = std::make_unique<TBitBtnWithColor>(caption);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(21);
    button->setFont(font);
    button->resize(120, 50);
    button->SetColor(face);
    return button;
}

QImage Grab(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int CountPixels(const QImage &image, const QRect &area, const QColor &color)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == color;
    return count;
}

QRect BoundsOf(const QImage &image, const QRect &area, const QColor &color)
{
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == color)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

void SendMouse(QWidget *widget, QEvent::Type type, Qt::MouseButton button, QPoint pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

const QRect kInterior(4, 4, 112, 42); // inside edges and focus marks of a 120 x 50 button

} // namespace

class TestButtonWithColor : public QObject
{
    Q_OBJECT
private slots:
    void constructionDefaults()
    {
        TBitBtnWithColor button;
        QCOMPARE(button.Color(), QApplication::palette().color(QPalette::Button));
        QCOMPARE(button.Kind(), bkCustom);
        QCOMPARE(button.Layout(), blGlyphLeft);
        QCOMPARE(button.Margin(), -1);
        QCOMPARE(button.Spacing(), 4);
        QCOMPARE(button.NumGlyphs(), 1);
        QCOMPARE(button.Style(), bsAutoDetect);
        QCOMPARE(button.ModalResult(), 0);
        QVERIFY(button.Glyph().isNull());
    }

    // The face keeps its colour in every state; only the caption changes.
    void faceColour_data()
    {
        QTest::addColumn<QColor>("face");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("down");
        QTest::newRow("green, up") << QColor(Qt::green) << true << false;
        QTest::newRow("red, down") << QColor(Qt::red) << true << true;
        QTest::newRow("red, disabled") << QColor(Qt::red) << false << false;
        QTest::newRow("yellow, disabled") << QColor(Qt::yellow) << false << false;
        QTest::newRow("button face, up")
            << QApplication::palette().color(QPalette::Button) << true << false;
    }
    void faceColour()
    {
        QFETCH(QColor, face);
        QFETCH(bool, enabled);
        QFETCH(bool, down);
        auto button = RaceButton(QStringLiteral("STOPP &1"), face);
        button->setEnabled(enabled);
        button->setDown(down);
        const QImage image = Grab(*button);
        for (QPoint p : {QPoint(5, 5), QPoint(114, 5), QPoint(5, 44), QPoint(114, 44),
                         QPoint(60, 5), QPoint(60, 44)})
            QCOMPARE(image.pixelColor(p), face);
    }

    void disabledCaptionIsEngraved()
    {
        const QColor ink = QApplication::palette().color(QPalette::ButtonText);
        auto button = RaceButton(QStringLiteral("STOPP &1"), Qt::red);
        const QImage enabled = Grab(*button);
        QVERIFY(CountPixels(enabled, kInterior, ink) > 30);
        QCOMPARE(CountPixels(enabled, kInterior, QColor(128, 128, 128)), 0);

        button->setEnabled(false);
        const QImage disabled = Grab(*button);
        QCOMPARE(CountPixels(disabled, kInterior, ink), 0);
        const QRect grey = BoundsOf(disabled, kInterior, QColor(128, 128, 128));
        const QRect white = BoundsOf(disabled, kInterior, QColor(255, 255, 255));
        QVERIFY(grey.width() > 40);
        // The white copy lies one pixel right of and below the grey one.
        QCOMPARE(white.bottomRight(), grey.bottomRight() + QPoint(1, 1));
        // The grey caption sits where the enabled one was.
        QCOMPARE(grey, BoundsOf(enabled, kInterior, ink));
    }

    void pressedShiftsCaptionAndOutlinesFace()
    {
        const QPalette palette = QApplication::palette();
        const QColor ink = palette.color(QPalette::ButtonText);
        auto button = RaceButton(QStringLiteral("&0,00"), Qt::yellow);
        const QImage up = Grab(*button);
        button->setDown(true);
        const QImage down = Grab(*button);

        const QRect upCaption = BoundsOf(up, kInterior, ink);
        QVERIFY(!upCaption.isEmpty());
        QCOMPARE(BoundsOf(down, kInterior, ink), upCaption.translated(1, 1));

        // Up: raised two-pixel edge, light at the top left, dark at the bottom right.
        QCOMPARE(up.pixel(0, 25), palette.color(QPalette::Light).rgb());
        QCOMPARE(up.pixel(1, 25), palette.color(QPalette::Midlight).rgb());
        QCOMPARE(up.pixel(119, 25), palette.color(QPalette::Shadow).rgb());
        QCOMPARE(up.pixel(118, 25), palette.color(QPalette::Dark).rgb());
        QCOMPARE(up.pixelColor(2, 25), QColor(Qt::yellow));
        // Down: the face up to a one-pixel outline in the button shadow colour.
        for (QPoint p : {QPoint(0, 25), QPoint(119, 25), QPoint(60, 0), QPoint(60, 49)})
            QCOMPARE(down.pixel(p), palette.color(QPalette::Dark).rgb());
        QCOMPARE(down.pixelColor(1, 25), QColor(Qt::yellow));
    }

    // The default-button mark (here: default, focus on no other button) draws
    // the window-frame rectangle and the dotted focus rectangle.
    void activeMarks()
    {
        const QPalette palette = QApplication::palette();
        auto button = RaceButton(QStringLiteral("&START"), Qt::green);
        QVERIFY(!button->IsActive());
        const QImage plain = Grab(*button);
        QCOMPARE(plain.pixelColor(4, 4), QColor(Qt::green));

        button->setDefault(true);
        QVERIFY(button->IsActive());
        const QImage active = Grab(*button);
        QCOMPARE(active.pixel(0, 0), palette.color(QPalette::WindowText).rgb());
        QCOMPARE(active.pixel(119, 49), palette.color(QPalette::WindowText).rgb());
        // Dotted: every other pixel along the top of the focus rectangle.
        const QColor ink = palette.color(QPalette::ButtonText);
        int dots = 0;
        for (int x = 4; x <= 115; ++x)
            dots += active.pixelColor(x, 4) == ink;
        QCOMPARE(dots, 56);
        QCOMPARE(active.pixelColor(4, 4), ink);
        QCOMPARE(active.pixelColor(5, 4), QColor(Qt::green));
        QCOMPARE(active.pixelColor(4, 20), ink);
        QCOMPARE(active.pixelColor(115, 45), ink);
    }

    void focusMovesTheMark()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new QLineEdit;
        auto *start = new TBitBtnWithColor(QStringLiteral("&START"));
        auto *reset = new TBitBtnWithColor(QStringLiteral("&0,00"));
        layout->addWidget(edit);
        layout->addWidget(start);
        layout->addWidget(reset);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        start->setFocus();
        QTRY_VERIFY(start->hasFocus());
        QVERIFY(start->IsActive());
        QVERIFY(!reset->IsActive());
        QCOMPARE(Grab(*start).pixel(0, 0),
                 QApplication::palette().color(QPalette::WindowText).rgb());

        reset->setDefault(true);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        QVERIFY(!start->IsActive());
        QVERIFY(reset->IsActive()); // default while the focus is on a non-button
        start->setFocus();
        QTRY_VERIFY(start->hasFocus());
        QVERIFY(!reset->IsActive());
    }

    void repaintOnlyOnColourChange()
    {
        auto button = RaceButton(QStringLiteral("S15"), Qt::red);
        button->show();
        QVERIFY(QTest::qWaitForWindowExposed(button.get()));
        QCoreApplication::processEvents();
        PaintCounter paints(button.get());
        button->SetColor(Qt::red);
        QCOMPARE(paints.count, 0);
        button->SetColor(Qt::green); // at once, not on the next event loop turn
        QCOMPARE(paints.count, 1);
        QCOMPARE(button->Color(), QColor(Qt::green));
        QCOMPARE(Grab(*button).pixelColor(5, 5), QColor(Qt::green));
    }

    // The face covers the whole button: with an opaque colour a change
    // paints the button alone; a translucent one shows what lies beneath.
    void colourChangePaintsWhatShows_data()
    {
        QTest::addColumn<QColor>("face");
        QTest::addColumn<int>("parentPaints");
        QTest::newRow("opaque") << QColor(Qt::green) << 0;
        QTest::newRow("translucent") << QColor(0, 255, 0, 128) << 1;
    }
    void colourChangePaintsWhatShows()
    {
        QFETCH(QColor, face);
        QWidget panel;
        panel.resize(200, 100);
        auto button = RaceButton(QStringLiteral("S15"), Qt::red);
        button->setParent(&panel);
        button->move(40, 25);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCoreApplication::processEvents();
        PaintCounter panelPaints(&panel);
        PaintCounter buttonPaints(button.get());
        button->SetColor(face);
        QCOMPARE(buttonPaints.count, 1);
        QTEST(panelPaints.count, "parentPaints");
    }

    // A button keeps the faces it drew and copies them on later paints; after
    // any change of look it draws exactly what a new button in that look draws,
    // and back in its first look it shows its first face again.
    void storedFacesFollowEveryLook_data()
    {
        QTest::addColumn<int>("look");
        QTest::newRow("caption") << 0;
        QTest::newRow("font") << 1;
        QTest::newRow("colour") << 2;
        QTest::newRow("unavailable") << 3;
        QTest::newRow("size") << 4;
        QTest::newRow("caption colour") << 5;
        QTest::newRow("pressed") << 6;
    }
    void storedFacesFollowEveryLook()
    {
        QFETCH(int, look);
        const auto change = [look](TBitBtnWithColor &button, bool changed) {
            QFont font = button.font();
            QPalette palette = button.palette();
            switch (look) {
            case 0:
                button.setText(changed ? QStringLiteral("STOPP &2") : QStringLiteral("STOPP &1"));
                break;
            case 1:
                font.setPixelSize(changed ? 15 : 21);
                button.setFont(font);
                break;
            case 2:
                button.SetColor(changed ? Qt::green : Qt::red);
                break;
            case 3:
                button.setEnabled(!changed);
                break;
            case 4:
                button.resize(changed ? QSize(100, 40) : QSize(120, 50));
                break;
            case 5:
                palette.setColor(QPalette::ButtonText, changed ? Qt::white : Qt::black);
                button.setPalette(palette);
                break;
            case 6:
                button.setDown(changed);
                break;
            }
        };
        auto button = RaceButton(QStringLiteral("STOPP &1"), Qt::red);
        change(*button, false);
        const QImage first = Grab(*button);
        change(*button, true);
        auto fresh = RaceButton(QStringLiteral("STOPP &1"), Qt::red);
        change(*fresh, true);
        const QImage expected = Grab(*fresh);
        QVERIFY(expected != first);
        QCOMPARE(Grab(*button), expected);
        change(*button, false);
        QCOMPARE(Grab(*button), first);
    }

    void doubleClickGivesTwoClicks()
    {
        auto button = RaceButton(QStringLiteral("&START"), Qt::green);
        button->show();
        QVERIFY(QTest::qWaitForWindowExposed(button.get()));
        QSignalSpy clicks(button.get(), &QAbstractButton::clicked);
        QSignalSpy downs(button.get(), &TBitBtnWithColor::OnMouseDown);
        const QPoint p(60, 25);
        // What the window system delivers for a double-click.
        SendMouse(button.get(), QEvent::MouseButtonPress, Qt::LeftButton, p);
        SendMouse(button.get(), QEvent::MouseButtonRelease, Qt::LeftButton, p);
        SendMouse(button.get(), QEvent::MouseButtonDblClick, Qt::LeftButton, p);
        SendMouse(button.get(), QEvent::MouseButtonRelease, Qt::LeftButton, p);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(downs.count(), 2);
    }

    void mouseDownComesFirstForAnyButton_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("left") << Qt::LeftButton
                              << QStringList{"down", "pressed", "up", "released", "clicked"};
        QTest::newRow("right") << Qt::RightButton << QStringList{"down", "up"};
        QTest::newRow("middle") << Qt::MiddleButton << QStringList{"down", "up"};
    }
    void mouseDownComesFirstForAnyButton()
    {
        QFETCH(Qt::MouseButton, mouseButton);
        QFETCH(QStringList, expected);
        auto button = RaceButton(QStringLiteral("&START"), Qt::green);
        button->show();
        QVERIFY(QTest::qWaitForWindowExposed(button.get()));
        QStringList log;
        connect(button.get(), &TBitBtnWithColor::OnMouseDown,
                [&](TBitBtnWithColor *sender, Qt::MouseButton b) {
                    QCOMPARE(sender, button.get());
                    QCOMPARE(b, mouseButton);
                    log << "down";
                });
        connect(button.get(), &TBitBtnWithColor::OnMouseUp, [&] { log << "up"; });
        connect(button.get(), &QAbstractButton::pressed, [&] { log << "pressed"; });
        connect(button.get(), &QAbstractButton::released, [&] { log << "released"; });
        connect(button.get(), &QAbstractButton::clicked, [&] { log << "clicked"; });
        QTest::mousePress(button.get(), mouseButton, Qt::NoModifier, QPoint(60, 25));
        QTest::mouseRelease(button.get(), mouseButton, Qt::NoModifier, QPoint(60, 25));
        QCOMPARE(log, expected);
    }

    // The race acts on the press and makes the button unavailable; the
    // release must then not click it a second time.
    void disablingOnPressSwallowsTheClick()
    {
        auto button = RaceButton(QStringLiteral("STOPP &1"), Qt::red);
        button->show();
        QVERIFY(QTest::qWaitForWindowExposed(button.get()));
        int actions = 0;
        connect(button.get(), &TBitBtnWithColor::OnMouseDown, [&] {
            ++actions;
            button->setEnabled(false);
        });
        connect(button.get(), &QAbstractButton::clicked, [&] { ++actions; });
        QSignalSpy pressed(button.get(), &QAbstractButton::pressed);
        QTest::mousePress(button.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 25));
        QVERIFY(!button->isDown());
        QTest::mouseRelease(button.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 25));
        QCOMPARE(actions, 1);
        QCOMPARE(pressed.count(), 0);
    }

    void keyboardClicks_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("toFocused");
        QTest::newRow("accelerator Alt+S")
            << int(Qt::Key_S) << Qt::KeyboardModifiers(Qt::AltModifier) << false;
        QTest::newRow("space") << int(Qt::Key_Space) << Qt::KeyboardModifiers() << true;
        QTest::newRow("return") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true;
        QTest::newRow("enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                               << true;
    }
    void keyboardClicks()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, toFocused);
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new QLineEdit;
        auto *start = new TBitBtnWithColor(QStringLiteral("&START"));
        layout->addWidget(edit);
        layout->addWidget(start);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        (toFocused ? static_cast<QWidget *>(start) : edit)->setFocus();
        QTRY_VERIFY(QApplication::focusWidget() ==
                    (toFocused ? start : static_cast<QWidget *>(edit)));

        QSignalSpy clicks(start, &QAbstractButton::clicked);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        QTRY_COMPARE(clicks.count(), 1);
    }

    void modalResultEndsDialog()
    {
        QDialog dialog;
        auto *yes = new TBitBtnWithColor(&dialog);
        yes->SetKind(bkYes);
        QCOMPARE(yes->text(), QStringLiteral("&Ja"));
        QCOMPARE(yes->ModalResult(), 6);
        QVERIFY(yes->isDefault());
        auto *no = new TBitBtnWithColor(QStringLiteral("Lieber nicht"), &dialog);
        no->SetKind(bkNo);
        QCOMPARE(no->text(), QStringLiteral("Lieber nicht")); // a caption given stays
        QCOMPARE(no->ModalResult(), 7);
        QVERIFY(no->Cancel());

        yes->click();
        QCOMPARE(dialog.result(), 6);
        QVERIFY(!dialog.isVisible());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape); // the cancel button answers Escape
        QCOMPARE(dialog.result(), 7);

        auto *custom = new TBitBtnWithColor(QStringLiteral("Egal"), &dialog);
        custom->SetKind(bkCustom);
        QCOMPARE(custom->ModalResult(), 0);
        QVERIFY(!custom->isDefault());
    }

    // A help button opens the application's help at the first help context
    // of the button or its parents; other kinds leave the help alone.
    void helpButtonOpensTheHelp_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("buttonContext");
        QTest::addColumn<int>("panelContext");
        QTest::addColumn<QList<int>>("asked");
        QTest::newRow("no context anywhere") << int(bkHelp) << 0 << 0 << QList<int>{0};
        QTest::newRow("the parent's context") << int(bkHelp) << 0 << 17 << QList<int>{17};
        QTest::newRow("the button's own first") << int(bkHelp) << 5 << 17 << QList<int>{5};
        QTest::newRow("a custom button opens nothing") << int(bkCustom) << 5 << 17 << QList<int>{};
        QTest::newRow("nor does OK") << int(bkOK) << 5 << 17 << QList<int>{};
    }
    void helpButtonOpensTheHelp()
    {
        QFETCH(int, kind);
        QFETCH(int, buttonContext);
        QFETCH(int, panelContext);
        QList<int> asked;
        TBitBtnWithColor::ApplicationHelp = [&](int context) { asked << context; };
        QWidget panel;
        panel.setProperty("HelpContext", panelContext);
        auto *button = new TBitBtnWithColor(&panel);
        button->setProperty("HelpContext", buttonContext);
        button->SetKind(TBitBtnWithColorKind(kind));
        button->click();
        TBitBtnWithColor::ApplicationHelp = nullptr;
        QTEST(asked, "asked");
    }

    // A glyph is drawn left of the caption with its bottom-left colour
    // transparent; the disabled image is made from it.
    void glyph()
    {
        QPixmap glyph(16, 16);
        glyph.fill(Qt::magenta);
        {
            QPainter painter(&glyph);
            painter.fillRect(4, 4, 8, 8, Qt::blue);
        }
        auto button = RaceButton(QStringLiteral("OK"), Qt::white);
        button->SetGlyph(glyph);
        const QImage image = Grab(*button);
        QCOMPARE(CountPixels(image, kInterior, QColor(Qt::magenta)), 0);
        const QRect blue = BoundsOf(image, kInterior, QColor(Qt::blue));
        QCOMPARE(blue.size(), QSize(8, 8));
        const QRect caption =
            BoundsOf(image, kInterior, QApplication::palette().color(QPalette::ButtonText));
        QVERIFY(blue.right() < caption.left());

        button->setEnabled(false);
        const QImage disabled = Grab(*button);
        QCOMPARE(CountPixels(disabled, kInterior, QColor(Qt::blue)), 0);
        QCOMPARE(BoundsOf(disabled, QRect(blue.left(), blue.top(), 8, 8), QColor(128, 128, 128)),
                 blue);
    }
};

QTEST_MAIN(TestButtonWithColor)
#include "tst_ButtonWithColor.moc"
