#include "HeadlessPage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTest>

namespace {

// The answer's body to a GET on loopback (empty when none came).
QByteArray Get(quint16 port, const QByteArray &path)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                 "\r\n\r\n");
    QByteArray answer;
    const QRegularExpression length(QStringLiteral("Content-Length: *(\\d+)"),
                                    QRegularExpression::CaseInsensitiveOption);
    while (socket.waitForReadyRead(5000)) {
        answer += socket.readAll();
        const qsizetype body = answer.indexOf("\r\n\r\n") + 4;
        const auto match = length.match(QString::fromLatin1(answer.left(body)));
        if (body >= 4 && match.hasMatch() && answer.size() - body >= match.captured(1).toInt())
            return answer.mid(body);
    }
    return {};
}

} // namespace

QString HeadlessPage::Browser()
{
    return QStandardPaths::findExecutable(QStringLiteral("chromium-headless-shell"));
}

HeadlessPage::HeadlessPage(const QString &url, QSize window) : m_url(url), m_window(window)
{
    QObject::connect(&m_devTools, &QWebSocket::textMessageReceived, [this](const QString &text) {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        if (message[QStringLiteral("id")].toInt() != m_lastId)
            return;
        m_answer =
            message[QStringLiteral("result")][QStringLiteral("result")][QStringLiteral("value")];
        m_answered = m_lastId;
    });
}

// The browser runs behind a shell script: ended through its DevTools it
// ends with all its processes, where killing the script would leave them.
HeadlessPage::~HeadlessPage()
{
    m_devTools.abort();
    if (!m_browserUrl.isEmpty()) {
        QWebSocket browser;
        browser.open(QUrl(m_browserUrl));
        if (QTest::qWaitFor([&] { return browser.state() == QAbstractSocket::ConnectedState; },
                            5000))
            browser.sendTextMessage(QStringLiteral("{\"id\":1,\"method\":\"Browser.close\"}"));
        if (QTest::qWaitFor([&] { return m_browser.state() == QProcess::NotRunning; }, 10000))
            return;
    }
    // Not ended through its DevTools in time: the script at least goes.
    m_browser.kill();
    m_browser.waitForFinished();
}

bool HeadlessPage::Open()
{
    m_browser.setProcessChannelMode(QProcess::SeparateChannels);
    m_browser.start(
        Browser(),
        {"--no-sandbox", "--disable-gpu", "--hide-scrollbars",
         "--user-data-dir=" + m_profile.path(), "--remote-debugging-port=0",
         QStringLiteral("--window-size=%1,%2").arg(m_window.width()).arg(m_window.height()),
         m_url});
    // "DevTools listening on ws://127.0.0.1:PORT/devtools/browser/ID"
    const QRegularExpression listening(
        QStringLiteral("ws://127\\.0\\.0\\.1:(\\d+)/devtools/browser/\\S+"));
    QByteArray said;
    quint16 port = 0;
    const bool ended = QTest::qWaitFor(
        [&] {
            said += m_browser.readAllStandardError();
            const QRegularExpressionMatch match = listening.match(QString::fromUtf8(said));
            m_browserUrl = match.captured(0);
            port = quint16(match.captured(1).toUInt());
            return port != 0 || m_browser.state() == QProcess::NotRunning;
        },
        30000);
    if (!ended || !port)
        return false;
    QString target;
    const bool found = QTest::qWaitFor(
        [&] {
            const QJsonArray targets = QJsonDocument::fromJson(Get(port, "/json/list")).array();
            for (const QJsonValue &entry : targets)
                if (entry[QStringLiteral("type")] == QStringLiteral("page"))
                    target = entry[QStringLiteral("webSocketDebuggerUrl")].toString();
            return !target.isEmpty();
        },
        30000);
    if (!found)
        return false;
    m_devTools.open(QUrl(target));
    return QTest::qWaitFor([&] { return m_devTools.state() == QAbstractSocket::ConnectedState; },
                           30000);
}

QJsonValue HeadlessPage::Evaluate(const QString &expression)
{
    const QJsonObject call{
        {"id", ++m_lastId},
        {"method", "Runtime.evaluate"},
        {"params", QJsonObject{{"expression", expression}, {"returnByValue", true}}}};
    m_answer = QJsonValue::Null;
    m_devTools.sendTextMessage(QString::fromUtf8(QJsonDocument(call).toJson()));
    // A call the browser does not answer in time gives null.
    if (!QTest::qWaitFor([&] { return m_answered == m_lastId; }, 10000))
        return QJsonValue::Null;
    return m_answer;
}
