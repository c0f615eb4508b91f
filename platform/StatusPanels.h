#pragma once
// The status-bar panels, addressed by key: the model's counts ("FactorsAndLevels",
// "Constraints", "Prev Test"), which its count properties write, and the strength of the
// matrix generated last ("Strength"). The main window shows them.

#include <QString>

class StatusPanels {
public:
    virtual ~StatusPanels() = default;
    virtual void setPanelText(const QString& key, const QString& text) = 0;
    // A passing message in the status bar, beside the panels.
    virtual void showStatusMessage(const QString& text) { (void)text; }
};

void SetStatusPanels(StatusPanels* panels);  // nullptr: texts go nowhere
void SetStatusPanelText(const QString& key, const QString& text);
void ShowStatusMessage(const QString& text);

inline constexpr QLatin1String kPanelFactors("FactorsAndLevels");
inline constexpr QLatin1String kPanelConstraints("Constraints");
inline constexpr QLatin1String kPanelPrevTest("Prev Test");
inline constexpr QLatin1String kPanelStrength("Strength");
inline constexpr QLatin1String kPanelMatrixState("MatrixState");  // "Out of date" while stale
