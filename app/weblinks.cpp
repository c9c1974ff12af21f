#include "app/weblinks.h"

#include "app/datafiles.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

QString locateHelpPage()
{
    const QStringList folders = QStringList{QCoreApplication::applicationDirPath()}
        + installedDirectories(QStringLiteral(CLEPSA_DOC_DIR_FROM_BIN), QStringLiteral(CLEPSA_DOC_DIR));
    for (const QString& folder : folders) {
        const QFileInfo page(QDir(folder), kHelpPageName);
        if (page.isFile())
            return page.absoluteFilePath();
    }
    return QString();
}

QUrl projectPage(const QString& address)
{
    if (!address.isEmpty())
        return QUrl(address);
    const QString page = locateHelpPage();
    return page.isEmpty() ? QUrl() : QUrl::fromLocalFile(page);
}

QUrl homePageUrl()
{
    return projectPage(QStringLiteral(CLEPSA_HOMEPAGE_URL));
}

QUrl helpUsPageUrl()
{
    return projectPage(QStringLiteral(CLEPSA_HELPUS_URL));
}

void openProjectPage(const QUrl& page)
{
    if (page.isEmpty()) {
        qWarning().noquote()
            << QStringLiteral("Clepsa : page d'aide %1 introuvable, rien n'est ouvert").arg(kHelpPageName);
        return;
    }
    QDesktopServices::openUrl(page);
}
