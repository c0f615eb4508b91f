#pragma once
// The question of Generate N-Way: how many factors at a time the test cases cover every
// combination of levels of (the strength, 2 to 6). Help stays in the dialog.

#include <QDialog>

#include <cstdint>

class HelpViewer;
class QSpinBox;

class frmStrength : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 36;

    // strength: the one to offer first (the last one used); help: where its Help button opens
    // the help.
    frmStrength(std::int32_t strength, HelpViewer& help, QWidget* parent = nullptr);

    std::int32_t Strength() const;

private:
    QSpinBox* spnStrength;
};
