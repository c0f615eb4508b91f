#pragma once

#include <QDialog>

class QPushButton;

// The about box: the program's name and version, and two help topics.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

private:
    QPushButton* cmdOk;
    QPushButton* cmdHelp;
    QPushButton* Command1;
};
