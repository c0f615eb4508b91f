#include "errortrap/WebBrowser.h"

namespace {
WebBrowser* gBrowser = nullptr;
}

void SetWebBrowser(WebBrowser* browser) { gBrowser = browser; }
bool OpenInBrowser(const QUrl& url) { return gBrowser && gBrowser->openUrl(url); }
