#pragma once

#include <QString>
#include <QUrl>

// The help page shipped with the program.
inline const QString kHelpPageName = QStringLiteral("aide.html");

// The help page: beside the program (a portable copy), then in the installed
// documentation directory. Empty when it is in neither.
QString locateHelpPage();

// A page of the project: `address` when one was given when the program was
// built, otherwise the help page as a file URL; empty when there is no page
// either.
QUrl projectPage(const QString& address);

// The project's home page and its help-us page.
QUrl homePageUrl();
QUrl helpUsPageUrl();

// Opens the page in the desktop's browser. Without a page, nothing opens and
// the standard error output says so.
void openProjectPage(const QUrl& page);
