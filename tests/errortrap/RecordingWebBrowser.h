#pragma once

#include "errortrap/WebBrowser.h"

#include <QList>

// Test double of the browser: records every page asked for.
class RecordingWebBrowser : public WebBrowser {
public:
    RecordingWebBrowser() { SetWebBrowser(this); }
    ~RecordingWebBrowser() override { SetWebBrowser(nullptr); }
    bool openUrl(const QUrl& url) override
    {
        mUrls.append(url);
        return true;
    }
    const QList<QUrl>& urls() const { return mUrls; }

private:
    QList<QUrl> mUrls;
};
