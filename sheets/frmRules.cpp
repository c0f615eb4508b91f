#include "sheets/frmRules.h"

#include <vantrel/result.hpp>
#include "model/DesignWorkbook.h"
#include "model/RulesCheck.h"
#include "platform/MessageBox.h"
#include "platform/PrinterSetup.h"
#include "sheets/RulesEditor.h"
#include "sheets/SheetPrinter.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// How long typing must stop before the text is checked.
constexpr int kCheckDelayMs = 400;

// The place of a problem: from its column to the end of the word there, or the character
// before it when it stands at the end of a line.
QTextCursor ProblemPlace(const RulesEditor& editor, const vantrel::Error& error)
{
    QTextCursor place = editor.CursorAt(error.line, error.column);
    const QString line = place.block().text();
    int at = place.positionInBlock();
    while (at < line.size() && !line.at(at).isSpace())
        ++at;
    if (at > place.positionInBlock())
        place.setPosition(place.block().position() + at, QTextCursor::KeepAnchor);
    else
        place.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    return place;
}
}  // namespace

frmRules::frmRules(DesignWorkbook& workbook, QWidget* parent) : QWidget(parent), mWorkbook(workbook)
{
    setObjectName(QStringLiteral("frmRules"));
    mEditor = new RulesEditor(this);
    mEditor->installEventFilter(this);
    mCheckLine = new QLabel(this);
    mCheckLine->setObjectName(QStringLiteral("CheckLine"));
    mCheckLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BuildFindBar());
    layout->addWidget(mEditor, 1);
    layout->addWidget(mCheckLine);

    mCheckTimer.setSingleShot(true);
    mCheckTimer.setInterval(kCheckDelayMs);
    connect(&mCheckTimer, &QTimer::timeout, this, &frmRules::CheckNow);
    connect(mEditor, &QPlainTextEdit::textChanged, this, &frmRules::TextChanged);
    mWorkbook.SetRulesListener([this] { ShowWorkbookRules(); });
    ShowWorkbookRules();
}

frmRules::~frmRules() { mWorkbook.SetRulesListener({}); }

QWidget* frmRules::BuildFindBar()
{
    mFindBar = new QWidget(this);
    mFindBar->setObjectName(QStringLiteral("FindBar"));
    mFindText = new QLineEdit(mFindBar);
    mFindText->setObjectName(QStringLiteral("FindText"));
    mFindText->installEventFilter(this);
    mFindState = new QLabel(mFindBar);
    mFindState->setObjectName(QStringLiteral("FindState"));
    auto* layout = new QHBoxLayout(mFindBar);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("Find:"), mFindBar));
    layout->addWidget(mFindText, 1);
    const auto button = [this, layout](const char* caption, const std::function<void()>& clicked) {
        auto* tool = new QToolButton(mFindBar);
        tool->setText(QString::fromLatin1(caption));
        connect(tool, &QToolButton::clicked, this, clicked);
        layout->addWidget(tool);
    };
    button("Next", [this] { FindNext(false); });
    button("Previous", [this] { FindNext(true); });
    layout->addWidget(mFindState);
    button("Close", [this] {
        mFindBar->hide();
        mEditor->setFocus();
    });
    connect(mFindText, &QLineEdit::returnPressed, this, [this] { FindNext(false); });
    connect(mFindText, &QLineEdit::textEdited, mFindState, &QLabel::clear);
    mFindBar->hide();
    return mFindBar;
}

QString frmRules::CheckMessage() const { return mCheckLine->text(); }

void frmRules::TextChanged()
{
    if (mShowingWorkbookRules)
        return;
    const QString text = mEditor->Text();
    if (text == mWorkbook.Rules())
        return;  // only the layout changed
    mShowingWorkbookRules = true;
    mWorkbook.SetRules(text);
    mShowingWorkbookRules = false;
    mWorkbook.MarkEdited();
    mCheckTimer.start();
    emit edited();
}

void frmRules::ShowWorkbookRules()
{
    if (mShowingWorkbookRules)
        return;
    mShowingWorkbookRules = true;
    mEditor->setPlainText(mWorkbook.Rules());  // which forgets the steps to undo
    mShowingWorkbookRules = false;
    CheckNow();
}

void frmRules::SetupSheet()
{
    mWorkbook.SetRules(QString());
    mEditor->document()->clearUndoRedoStacks();
    CheckNow();
}

void frmRules::CheckNow()
{
    mCheckTimer.stop();
    vantrel::Error error;
    switch (RulesCheck::Check(mWorkbook, error)) {
    case RulesCheck::Result::Checks: ShowProblem(nullptr, QString()); break;
    case RulesCheck::Result::NoFactors:
        ShowProblem(nullptr, QStringLiteral("The rules are checked once the Factors and Levels sheet names a factor."));
        break;
    case RulesCheck::Result::Problem:
        ShowProblem(&error, QStringLiteral("Line %1, column %2: %3")
                                .arg(error.line)
                                .arg(error.column)
                                .arg(QString::fromStdString(error.message)));
        break;
    }
}

void frmRules::ShowProblem(const vantrel::Error* error, const QString& line)
{
    mCheckLine->setText(line);
    QList<QTextEdit::ExtraSelection> marks;
    if (error) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = ProblemPlace(*mEditor, *error);
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(Qt::red);
        marks.append(mark);
    }
    mEditor->setExtraSelections(marks);
}

void frmRules::ShowPlace(int line, int column)
{
    mEditor->setTextCursor(mEditor->CursorAt(line, column));
    mEditor->ensureCursorVisible();
    mEditor->setFocus();
}

void frmRules::PrintRules(bool In_bShowDialog)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    if (!SetUpPrinter(printer, In_bShowDialog, this))
        return;
    if (!SheetPrinter::PrintText(mEditor->Text(), windowTitle(), printer))
        ShowMessage(QStringLiteral("The sheet could not be printed."), MsgButtons::Ok, MsgIcon::Critical);
}

void frmRules::ShowFindBar()
{
    const QString selected = mEditor->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        mFindText->setText(selected);
    mFindState->clear();
    mFindBar->show();
    mFindText->setFocus();
    mFindText->selectAll();
}

bool frmRules::IsFindBarShown() const { return mFindBar->isVisibleTo(this); }

bool frmRules::FindNext(bool backward)
{
    const QString wanted = mFindText->text();
    if (wanted.isEmpty())
        return false;
    QTextDocument::FindFlags flags = QTextDocument::FindCaseSensitively;
    if (backward)
        flags |= QTextDocument::FindBackward;
    QTextDocument* text = mEditor->document();
    QTextCursor found = text->find(wanted, mEditor->textCursor(), flags);
    if (found.isNull()) {
        QTextCursor round(text);
        if (backward)
            round.movePosition(QTextCursor::End);
        found = text->find(wanted, round, flags);
    }
    if (found.isNull()) {
        mFindState->setText(QStringLiteral("Not found"));
        return false;
    }
    mFindState->clear();
    mEditor->setTextCursor(found);
    mEditor->ensureCursorVisible();
    return true;
}

bool frmRules::IsFindKey(const QKeyEvent& key) const
{
    return key.matches(QKeySequence::Find) || key.matches(QKeySequence::FindNext) ||
           key.matches(QKeySequence::FindPrevious) || (key.key() == Qt::Key_Escape && IsFindBarShown());
}

void frmRules::FindKeyPressed(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Escape) {
        mFindBar->hide();
        mEditor->setFocus();
    } else if (key.matches(QKeySequence::Find) || mFindText->text().isEmpty()) {
        ShowFindBar();
    } else {
        FindNext(key.matches(QKeySequence::FindPrevious));
    }
}

bool frmRules::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == mEditor || watched == mFindText) &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (IsFindKey(key)) {
            // Accepting the override keeps the window's commands on these keys from running.
            event->accept();
            if (event->type() == QEvent::KeyPress)
                FindKeyPressed(key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
