#pragma once

#include <QUrl>

// The project's web pages, fixed when the program is built.
inline QUrl homePageUrl()
{
    return QUrl(QStringLiteral(CLEPSA_HOMEPAGE_URL));
}

inline QUrl helpUsPageUrl()
{
    return QUrl(QStringLiteral(CLEPSA_HELPUS_URL));
}
