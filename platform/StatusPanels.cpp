#include "platform/StatusPanels.h"

namespace {
StatusPanels* gPanels = nullptr;
}

void SetStatusPanels(StatusPanels* panels) { gPanels = panels; }

void SetStatusPanelText(const QString& key, const QString& text)
{
    if (gPanels)
        gPanels->setPanelText(key, text);
}

void ShowStatusMessage(const QString& text)
{
    if (gPanels)
        gPanels->showStatusMessage(text);
}
