#include "errortrap/frmFAILSAFE.h"

#include "errortrap/Debugger.h"
#include "platform/HelpViewer.h"
#include "platform/PrinterSetup.h"
#include "platform/ShellOpener.h"
#include "settings/modCursor.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextDocument>
#include <QUrlQuery>
#include <QVBoxLayout>

using namespace modFailSafe;

namespace {
// A field caption of the trap's texts: "Module    " becomes " Module".
QString FieldCaption(TrapText id)
{
    const QString text = Text(id);
    return id == TrapText::Module || id == TrapText::Procedure ? QLatin1Char(' ') + text.trimmed() : text;
}

QLabel* ValueLabel(const char* name, const char* hint)
{
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    label->setToolTip(QString::fromLatin1(hint));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

QPushButton* Button(const QString& caption, const char* name, const char* hint)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(hint));
    button->setAutoDefault(false);
    return button;
}

QPlainTextEdit* PageText(const char* name)
{
    auto* text = new QPlainTextEdit;
    text->setObjectName(QString::fromLatin1(name));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return text;
}
}  // namespace

frmFAILSAFE::frmFAILSAFE(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFAILSAFE"));
    setModal(true);

    mHeadline = new QLabel;
    mHeadline->setObjectName(QStringLiteral("Headline"));
    mHeadline->setWordWrap(true);

    Combo1 = new QComboBox;
    Combo1->setObjectName(QStringLiteral("Combo1"));
    mPages = new QStackedWidget;
    mPages->setObjectName(QStringLiteral("Pages"));

    Text1 = new QPlainTextEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Press 'Continue' to acknowledge this error and continue."));

    ErrModule = ValueLabel("ErrModule", "The error module");
    ErrProcedure = ValueLabel("ErrProcedure", "The error procedure");
    ErrLine = ValueLabel("ErrLine", "The line number where the error happened");
    ErrNo = ValueLabel("ErrNo", "The error number");
    mErrDescription = ValueLabel("ErrDescription", "A description of the error");
    ErrType = ValueLabel("ErrType", "The error category");
    errProject = new QLineEdit;
    errProject->setObjectName(QStringLiteral("errProject"));
    errProject->setToolTip(QStringLiteral("The error source"));
    errProject->setReadOnly(true);
    errText = new QListWidget;
    errText->setObjectName(QStringLiteral("errText"));

    auto* errorPage = new QWidget;
    auto* fields = new QFormLayout(errorPage);
    const std::pair<TrapText, QWidget*> rows[] = {
        {TrapText::Module, ErrModule},  {TrapText::Procedure, ErrProcedure},     {TrapText::LineNumber, ErrLine},
        {TrapText::ErrorNo, ErrNo},     {TrapText::Description, mErrDescription}, {TrapText::Category, ErrType},
        {TrapText::Source, errProject},
    };
    for (const auto& [caption, field] : rows) {
        auto* label = new QLabel(FieldCaption(caption));
        label->setObjectName(field->objectName() + QStringLiteral("Caption"));
        fields->addRow(label, field);
    }
    fields->addRow(errText);

    nsCtrlCalls = PageText("nsCtrlCalls");
    nsCtrlArgs = PageText("nsCtrlArgs");
    mPages->addWidget(Text1);
    mPages->addWidget(errorPage);
    mPages->addWidget(nsCtrlCalls);
    mPages->addWidget(nsCtrlArgs);

    nsCtrlContinue = Button(Text(TrapText::Continue), "nsCtrlContinue", "Press to acknowledge this error and continue.");
    nsCtrlMore = Button(QStringLiteral("&Break to"), "nsCtrlMore", "Press to break to design-mode in this procedure.");
    fsPrint = Button(QStringLiteral("Print"), "fsPrint", "Press to print this tabs data to the default printer.");
    nsHelp = Button(QStringLiteral("&Help"), "nsHelp", "Press to show detailed help about this error.");
    cmdWWW = Button(QStringLiteral("Search the &Web"), "cmdWWW", "Press to search the Internet for any relation to this error.");
    nsCtrlContinue->setDefault(true);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {nsCtrlContinue, nsCtrlMore, fsPrint, nsHelp, cmdWWW})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mHeadline);
    layout->addWidget(Combo1);
    layout->addWidget(mPages, 1);
    layout->addLayout(buttons);
    resize(640, 420);

    connect(Combo1, &QComboBox::activated, this, [this](int page) { Guarded([&] { Combo1_Click(page); }); });
    connect(errText, &QListWidget::currentRowChanged, this, [this](int row) { Guarded([&] { errText_Click(row); }); });
    connect(nsCtrlContinue, &QPushButton::clicked, this, [this] { Guarded([&] { nsCtrlContinue_Click(); }); });
    connect(nsCtrlMore, &QPushButton::clicked, this, [this] { Guarded([&] { nsCtrlMore_Click(); }); });
    connect(fsPrint, &QPushButton::clicked, this, [this] { Guarded([&] { fsPrint_Click(); }); });
    connect(nsHelp, &QPushButton::clicked, this, [this] { Guarded([&] { nsHelp_Click(); }); });
    connect(cmdWWW, &QPushButton::clicked, this, [this] { Guarded([&] { cmdWWW_Click(); }); });
}

template <class Body>
void frmFAILSAFE::Guarded(Body&& body)
{
    try {
        body();
    } catch (...) {
        ReportInternalError(ErrorFromException(std::current_exception(), CodeLocation::current()));
    }
}

void frmFAILSAFE::Form_Load()
{
    setWindowTitle(Text(TrapText::ProgramErrorIntercepted));
    mHeadline->setText(Headline());
    Combo1->clear();
    Combo1->addItems({QStringLiteral("To help resolve the problem, please enter what you were doing."),
                      QStringLiteral("View detailed information about the error source"),
                      QStringLiteral("View error context and procedure trace"),
                      QStringLiteral("View local system information")});
    nsCtrlCalls->setPlainText(TraceText().join(QLatin1Char('\n')));
    mSystemGathered = SystemReportCollected();
    if (mSystemGathered)
        nsCtrlArgs->setPlainText(SystemReportLines().join(QLatin1Char('\n')));
    nsCtrlMore->setEnabled(DebuggerAttached());

    errText->clear();
    const QList<ErrorRecord>& records = Records();
    for (qsizetype i = 0; i < records.size(); ++i) {
        errText->addItem(QStringLiteral("%1. Error %2: %3 (%4, %5)")
                             .arg(i + 1)
                             .arg(records[i].number)
                             .arg(records[i].description, records[i].module, records[i].procedure));
    }
    errText->setCurrentRow(static_cast<int>(records.size()) - 1);  // shows it
    Combo1->setCurrentIndex(PageNote);
    mPages->setCurrentIndex(PageNote);
}

const ErrorRecord* frmFAILSAFE::ShownRecord() const
{
    const int row = errText->currentRow();
    return row >= 0 && row < Records().size() ? &Records()[row] : nullptr;
}

void frmFAILSAFE::errText_Click(int index)
{
    if (index < 0 || index >= Records().size())
        return;
    if (errText->currentRow() != index)
        errText->setCurrentRow(index);
    const ErrorRecord& r = Records()[index];
    ErrModule->setText(r.module);
    ErrProcedure->setText(r.procedure);
    ErrLine->setText(LineText(r));
    ErrNo->setText(QString::number(r.number));
    mErrDescription->setText(r.description);
    ErrType->setText(r.category);
    errProject->setText(r.source);
    nsHelp->setEnabled(r.helpContext != 0);
}

void frmFAILSAFE::Combo1_Click(int page)
{
    if (page < PageNote || page > PageSystem)
        return;
    if (Combo1->currentIndex() != page)
        Combo1->setCurrentIndex(page);
    if (page == PageSystem && !mSystemGathered) {
        modCursor::StartAnimatedCursor(QStringLiteral("hourglas.ani"));
        nsCtrlArgs->setPlainText(SystemReportLines().join(QLatin1Char('\n')));
        modCursor::RestoreLastCursor();
        mSystemGathered = true;
    }
    mPages->setCurrentIndex(page);
}

void frmFAILSAFE::nsCtrlContinue_Click()
{
    AnswerReport(kContinue, Text1->toPlainText());
    hide();
    done(Accepted);
}

void frmFAILSAFE::nsCtrlMore_Click()
{
    AnswerReport(kBreak, Text1->toPlainText());
    hide();
    done(Accepted);
}

void frmFAILSAFE::reject() { nsCtrlContinue_Click(); }

QString frmFAILSAFE::PrintedText(int page) const
{
    if (page == PageTrace)
        return nsCtrlCalls->toPlainText();
    if (page == PageSystem)
        return nsCtrlArgs->toPlainText();
    QStringList lines{Headline(), QString()};
    if (const ErrorRecord* r = ShownRecord()) {
        lines << FieldCaption(TrapText::Module) + QLatin1Char('\t') + r->module;
        lines << FieldCaption(TrapText::Procedure) + QLatin1Char('\t') + r->procedure;
        lines << Text(TrapText::LineNumber) + QLatin1Char('\t') + LineText(*r);
        lines << Text(TrapText::ErrorNo) + QLatin1Char('\t') + QString::number(r->number);
        lines << Text(TrapText::Description) + QLatin1Char('\t') + r->description;
        lines << Text(TrapText::Category) + QLatin1Char('\t') + r->category;
        lines << Text(TrapText::Source) + QLatin1Char('\t') + r->source;
    }
    return lines.join(QLatin1Char('\n'));
}

void frmFAILSAFE::fsPrint_Click()
{
    QPrinter printer;
    printer.setDocName(Text(TrapText::ProgramErrorIntercepted));
    if (!SetUpPrinter(printer, false, this))
        return;
    QTextDocument document;
    document.setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    document.setPlainText(PrintedText(mPages->currentIndex()));
    document.print(&printer);
}

void frmFAILSAFE::nsHelp_Click()
{
    if (const ErrorRecord* r = ShownRecord(); r && r->helpContext != 0)
        ShowHelp(r->helpContext);
}

QUrl frmFAILSAFE::KnowledgeBaseUrl(std::int32_t number, const QString& description)
{
    QUrl url(QStringLiteral("https://duckduckgo.com/"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("q"), QStringLiteral("error %1 \"%2\"").arg(number).arg(description));
    url.setQuery(query);
    return url;
}

void frmFAILSAFE::cmdWWW_Click()
{
    if (const ErrorRecord* r = ShownRecord()) {
        ShellOpenRequest search;
        search.file = KnowledgeBaseUrl(r->number, r->description).toString(QUrl::FullyEncoded);
        search.verb = QStringLiteral("open");
        OpenWithShell(search);
    }
}

void frmFAILSAFE::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Text1->setFocus();
    Text1->selectAll();
}
