#pragma once
// Opens a web page in the desktop's browser.

#include <QUrl>

class WebBrowser {
public:
    virtual ~WebBrowser() = default;
    virtual bool openUrl(const QUrl& url) = 0;
};

void SetWebBrowser(WebBrowser* browser);  // nullptr: pages are not opened
bool OpenInBrowser(const QUrl& url);
