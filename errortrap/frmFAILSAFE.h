#pragma once
// The error report window: the trapped error with its records, the procedure trace and the
// local system, a note from the user, printing of the shown page, help about the error and a
// web search for it. Continue (or closing the window) answers the trap with Continue and the
// note; the second button, enabled only while a debugger traces the program, answers Break.

#include "errortrap/modFailSafe.h"

#include <QDialog>
#include <QUrl>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

class frmFAILSAFE : public QDialog {
    Q_OBJECT
public:
    // Pages of Combo1, in order.
    enum Page { PageNote = 0, PageError = 1, PageTrace = 2, PageSystem = 3 };

    explicit frmFAILSAFE(QWidget* parent = nullptr);

    // Captions, pages and the trap's records; the newest record is shown.
    void Form_Load();
    // Shows one record (0-based) in the fields.
    void errText_Click(int index);
    // Brings a page to the front; the system page is gathered the first time.
    void Combo1_Click(int page);
    void nsCtrlContinue_Click();
    void nsCtrlMore_Click();
    void fsPrint_Click();
    void nsHelp_Click();
    void cmdWWW_Click();

    // The text Print puts on paper for a page.
    QString PrintedText(int page) const;
    // The web search for an error.
    static QUrl KnowledgeBaseUrl(std::int32_t number, const QString& description);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    const modFailSafe::ErrorRecord* ShownRecord() const;
    // Runs a handler of the window; a failure in it is the trap's own.
    template <class Body>
    void Guarded(Body&& body);

    QLabel* mHeadline;
    QComboBox* Combo1;
    QStackedWidget* mPages;
    QPlainTextEdit* Text1;
    QLabel* ErrModule;
    QLabel* ErrProcedure;
    QLabel* ErrLine;
    QLabel* ErrNo;
    QLabel* mErrDescription;
    QLabel* ErrType;
    QLineEdit* errProject;
    QListWidget* errText;
    QPlainTextEdit* nsCtrlCalls;
    QPlainTextEdit* nsCtrlArgs;
    QPushButton* nsCtrlContinue;
    QPushButton* nsCtrlMore;
    QPushButton* fsPrint;
    QPushButton* nsHelp;
    QPushButton* cmdWWW;
    bool mSystemGathered = false;
};
