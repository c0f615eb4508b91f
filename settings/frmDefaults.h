#pragma once
// The options dialog: the number of evolutions the n-way search runs, whether its matrix
// is compacted afterwards with what effort, and whether the whole generation stops after a
// number of seconds. Valid numbers (1 to 10,000 evolutions, 1 to 1,000,000 thousand moves, 1
// to 86,400 seconds) go into the CDefaults it was given and reach the store at exit.

#include <QDialog>

class CDefaults;
class QCheckBox;
class QLineEdit;
class QPushButton;

class frmDefaults : public QDialog {
    Q_OBJECT
public:
    explicit frmDefaults(CDefaults& defaults, QWidget* parent = nullptr);

    struct NumberRule;

private slots:
    void cmdOK_Click();
    void Command2_Click();
    void cmdHelp_Click();

private:
    // The message for a text that is not an acceptable number; "" for one that is.
    static QString ProblemWith(const QString& text, const NumberRule& rule);

    CDefaults& mDefaults;
    QLineEdit* txtMaxNumEvolutions;
    QCheckBox* chkCompact;
    QLineEdit* txtCompactEffort;
    QCheckBox* chkTimeLimit;
    QLineEdit* txtTimeLimit;
    QPushButton* cmdOK;
    QPushButton* Command2;
    QPushButton* cmdHelp;
};
