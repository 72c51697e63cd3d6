#include "app/web_site.h"

#include <QDesktopServices>
#include <QUrl>

#include "app/app_texts.h"

void OpenWebSite() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(zentrik::app_texts::kWebSiteAddress)));
}
