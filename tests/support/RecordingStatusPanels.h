#pragma once

#include "app/StatusPanels.h"

#include <QHash>

// Test double of the status bar: keeps the last text of each panel.
class RecordingStatusPanels : public StatusPanels {
public:
    RecordingStatusPanels() { SetStatusPanels(this); }
    ~RecordingStatusPanels() override { SetStatusPanels(nullptr); }
    void setPanelText(const QString& key, const QString& text) override { mTexts[key] = text; }
    QString text(const QString& key) const { return mTexts.value(key); }

private:
    QHash<QString, QString> mTexts;
};
