#pragma once
// Test double of the status bar: keeps the last text of each panel and every status message.

#include "platform/StatusPanels.h"

#include <QHash>
#include <QStringList>

class RecordingStatusPanels : public StatusPanels {
public:
    RecordingStatusPanels() { SetStatusPanels(this); }
    ~RecordingStatusPanels() override { SetStatusPanels(nullptr); }
    void setPanelText(const QString& key, const QString& text) override { mTexts[key] = text; }
    QString text(const QString& key) const { return mTexts.value(key); }
    void showStatusMessage(const QString& text) override { mMessages.append(text); }
    const QStringList& statusMessages() const { return mMessages; }

private:
    QHash<QString, QString> mTexts;
    QStringList mMessages;
};
