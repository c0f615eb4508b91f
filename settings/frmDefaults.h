#pragma once
// The options dialog: the number of evolutions the n-way search runs. A valid number
// (1 to 10,000) goes into the CDefaults it was given and reaches the store at exit.

#include <QDialog>

class CDefaults;
class QLineEdit;
class QPushButton;

class frmDefaults : public QDialog {
    Q_OBJECT
public:
    explicit frmDefaults(CDefaults& defaults, QWidget* parent = nullptr);

private slots:
    void cmdOK_Click();
    void Command2_Click();
    void cmdHelp_Click();

private:
    // The message for a text that is not an acceptable number; "" for one that is.
    static QString ProblemWith(const QString& text);

    CDefaults& mDefaults;
    QLineEdit* txtMaxNumEvolutions;
    QPushButton* cmdOK;
    QPushButton* Command2;
    QPushButton* cmdHelp;
};
