#pragma once

#include <QCoreApplication>
#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Stands in for the desktop's handlers of the given URL schemes (a browser
// for http and https, the file manager for file) while it lives.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    explicit UrlRecorder(const QStringList& schemes = {QStringLiteral("http"), QStringLiteral("https")})
        : m_schemes(schemes)
    {
        for (const QString& scheme : m_schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlRecorder() override
    {
        for (const QString& scheme : m_schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }

private:
    QStringList m_schemes;
};

// The help page that the build puts beside the tests, as beside the clock:
// what the menus open when the build was given no web address.
inline QString shippedHelpPage()
{
    return QStringLiteral("file://") + QCoreApplication::applicationDirPath() + QStringLiteral("/aide.html");
}
