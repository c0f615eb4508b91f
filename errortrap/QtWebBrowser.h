#pragma once

#include "errortrap/WebBrowser.h"

class QtWebBrowser : public WebBrowser {
public:
    bool openUrl(const QUrl& url) override;
};
