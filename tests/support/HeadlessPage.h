// A web page in Debian's headless Chromium at a window size, driven over
// the browser's DevTools protocol on loopback: the test reads what the
// page's script made of it at any moment while it runs, and can end the
// browser as a kill would.
#pragma once

#include <QJsonValue>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>
#include <QWebSocket>

class HeadlessPage
{
public:
    // The browser's path; empty when it is not installed.
    static QString Browser();

    HeadlessPage(const QString &url, QSize window);
    ~HeadlessPage();

    // The browser runs and its DevTools are connected (waits up to 30 s).
    bool Open();
    // The value of the script expression in the page (null when the page
    // did not answer within 10 s).
    QJsonValue Evaluate(const QString &expression);

private:
    QTemporaryDir m_profile;
    QProcess m_browser;
    QWebSocket m_devTools;
    QString m_url;
    QString m_browserUrl;
    QSize m_window;
    int m_lastId = 0;
    QJsonValue m_answer;
    int m_answered = 0;
};
