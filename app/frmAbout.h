#pragma once
// The about box: the program's name and version, and two help topics.

#include <QDialog>

class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

private:
    QPushButton* cmdOk;
    QPushButton* cmdHelp;
    QPushButton* Command1;
};
