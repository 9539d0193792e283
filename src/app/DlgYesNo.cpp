#include "app/DlgYesNo.h"

#include "platform/Platform.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTextLayout>
#include <algorithm>

namespace {

// A question label that stays centred while the question fits and, when it
// does not, shows as many whole lines from the start as fit and cuts off the rest.
class QuestionLabel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        const QRect area = contentsRect();
        QTextLayout layout(text(), font());
        QTextOption option(Qt::AlignHCenter);
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal y = 0;
        int fitting = 0;
        bool overflow = false;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(area.width());
            line.setPosition(QPointF(0, y));
            y += line.height();
            if (y <= area.height())
                ++fitting;
            else
                overflow = true;
        }
        layout.endLayout();
        if (!overflow) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        for (int i = 0; i < fitting; ++i)
            layout.lineAt(i).draw(&painter, area.topLeft());
    }
};

} // namespace

TFDlgYesNo::TFDlgYesNo(QWidget *parent, const QString &title) : QDialog(parent)
{
    setObjectName(QStringLiteral("FDlgYesNo"));
    setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setSizeGripEnabled(false);

    Label1 = new QuestionLabel(QStringLiteral("?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);

    Icon = new QLabel(this);
    Icon->setObjectName(QStringLiteral("Icon"));
    Icon->setGeometry(4, 14, 32, 32);
    Icon->setPixmap(QuestionPicture());

    OKBtn = new QPushButton(QStringLiteral("Ja"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(ResultYes); });

    CancelBtn = new QPushButton(QStringLiteral("Nein"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(ResultCancel); });

    setTabOrder(OKBtn, CancelBtn);
    PlaceControls(0, 0);
}

// The designed places, with the label and the box wider and taller by the
// extra pixels; the buttons stay centred below the label.
void TFDlgYesNo::PlaceControls(int extraWidth, int extraHeight)
{
    setFixedSize(222 + extraWidth, 94 + extraHeight);
    Label1->setGeometry(40, 6, 169 + extraWidth, 49 + extraHeight);
    OKBtn->setGeometry(39 + extraWidth / 2, 60 + extraHeight, 75, 25);
    CancelBtn->setGeometry(135 + extraWidth / 2, 60 + extraHeight, 75, 25);
}

QPixmap TFDlgYesNo::QuestionPicture()
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap picture(QSize(32, 32) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    // The bubble: a rounded white body with a tail down to the left.
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1.5, 1.5, 29, 22), 9, 9);
    QPainterPath tail;
    tail.moveTo(7, 20);
    tail.lineTo(4.5, 30.5);
    tail.lineTo(15, 22);
    tail.closeSubpath();
    bubble = bubble.united(tail);
    painter.setPen(QPen(QColor(0, 0, 0), 1.2));
    painter.setBrush(QColor(255, 255, 255));
    painter.drawPath(bubble);

    // The question mark in blue.
    QPen mark(QColor(0, 0, 224), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(mark);
    painter.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(11.5, 9);
    hook.cubicTo(11.5, 4.5, 20.5, 4.5, 20.5, 8.5);
    hook.cubicTo(20.5, 11.5, 16, 11.5, 16, 15.5);
    painter.drawPath(hook);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 224));
    painter.drawEllipse(QPointF(16, 19.8), 1.9, 1.9);
    return picture;
}

void TFDlgYesNo::CentreOverParent()
{
    QWidget *host = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    if (host == this)
        host = nullptr;
    QRect area;
    if (host)
        area = host->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isNull())
        return;
    // move() places the frame of a window; before the first show the frame is not known yet.
    const QSize outer = frameGeometry().size();
    move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

bool TFDlgYesNo::Confirm(const QString &question)
{
    Label1->setText(question);
    CentreOverParent();
    return CurrentPlatform().ExecDialog(this) == ResultYes;
}

// As wide as the question's longest line (a path stays on one line) as
// far as the screen allows, then as tall as its wrapped lines need.
bool TFDlgYesNo::ConfirmWhole(const QString &question)
{
    Label1->setText(question);
    int longest = 0;
    for (const QString &line : question.split(QLatin1Char('\n')))
        longest = std::max(longest, Label1->fontMetrics().horizontalAdvance(line));
    const QScreen *screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const int widest = screen ? screen->availableGeometry().width() - width() - 40 : 0;
    const int extraWidth =
        std::clamp(longest + 2 * Label1->margin() + 4 - Label1->width(), 0, std::max(0, widest));
    PlaceControls(extraWidth, 0);
    PlaceControls(extraWidth,
                  std::max(0, Label1->heightForWidth(Label1->width()) - Label1->height()));
    const bool yes = Confirm(question);
    PlaceControls(0, 0);
    return yes;
}

void TFDlgYesNo::reject()
{
    done(ResultCancel);
}

void TFDlgYesNo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    CentreOverParent();
    OKBtn->setFocus(Qt::OtherFocusReason);
}
