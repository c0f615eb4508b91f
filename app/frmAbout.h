#pragma once
// The about box: the program's name and version, and two help topics.

#include <QDialog>

class HelpViewer;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // help: where its Help and Tech Support buttons open the help.
    explicit frmAbout(HelpViewer& help, QWidget* parent = nullptr);

private:
    QPushButton* cmdOk;
    QPushButton* cmdHelp;
    QPushButton* Command1;
};
