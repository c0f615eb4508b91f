#include "settings/frmDefaults.h"

#include "platform/HelpViewer.h"
#include "platform/MessageBox.h"
#include "settings/CDefaults.h"
#include "settings/NumericText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

// The largest number a field takes, and what is said of a text it refuses.
struct frmDefaults::NumberRule {
    std::int32_t most;
    QString notNumeric;
    QString notPositive;
    QString tooMany;
};

namespace {
constexpr int kHelpContext = 22;

const frmDefaults::NumberRule kEvolutionsRule{10000, QStringLiteral("The number of evolutions must be numeric."),
                                              QStringLiteral("The number of evolutions must be greater than zero."),
                                              QStringLiteral("The number of evolutions must be 10,000 or less.")};
const frmDefaults::NumberRule kEffortRule{1000000, QStringLiteral("The compaction effort must be numeric."),
                                          QStringLiteral("The compaction effort must be greater than zero."),
                                          QStringLiteral("The compaction effort must be 1,000,000 or less.")};
const frmDefaults::NumberRule kSecondsRule{86400, QStringLiteral("The number of seconds must be numeric."),
                                           QStringLiteral("The number of seconds must be greater than zero."),
                                           QStringLiteral("The number of seconds must be 86,400 or less.")};

QPushButton* AddButton(QDialogButtonBox* box, const QString& objectName, const QString& text,
                       QDialogButtonBox::ButtonRole role)
{
    auto* button = box->addButton(text, role);
    button->setObjectName(objectName);
    return button;
}
}  // namespace

frmDefaults::frmDefaults(CDefaults& defaults, QWidget* parent) : QDialog(parent), mDefaults(defaults)
{
    setObjectName(QStringLiteral("frmDefaults"));
    setWindowTitle(QStringLiteral("Change Defaults"));

    // A numeric entry: its caption, field and range in a row, its explanation below.
    auto* layout = new QVBoxLayout(this);
    auto addEntry = [&](const char* objectName, const QString& caption, const QString& range, const QString& text) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(objectName));
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        auto* row = new QGridLayout;
        row->addWidget(label, 0, 0);
        row->addWidget(field, 0, 1);
        row->addWidget(new QLabel(range, this), 0, 2);
        auto* explanation = new QLabel(text, this);
        explanation->setWordWrap(true);
        layout->addLayout(row);
        layout->addWidget(explanation);
        return field;
    };
    txtMaxNumEvolutions = addEntry(
        "txtMaxNumEvolutions", QStringLiteral("Number of Evolutions"), QStringLiteral("1 to 10,000"),
        QStringLiteral("The number of evolutions defines how many test case matricies Vantrel will search "
                       "through before reporting the answer. The minimum number of test cases can usually be "
                       "found in 100 evolutions; however, you may select any value between 1 and 10,000."));
    chkCompact = new QCheckBox(QStringLiteral("Co&mpact the test cases"), this);
    chkCompact->setObjectName(QStringLiteral("chkCompact"));
    layout->addWidget(chkCompact);
    txtCompactEffort = addEntry(
        "txtCompactEffort", QStringLiteral("Compaction effort (thousands of moves)"), QStringLiteral("1 to 1,000,000"),
        QStringLiteral("After the evolutions, Vantrel removes test cases from the best matrix while every pair "
                       "stays covered. An effort of 1000 takes from under a second to a few minutes, depending "
                       "on the design; Stop keeps the smallest matrix so far."));
    connect(chkCompact, &QCheckBox::toggled, txtCompactEffort, &QWidget::setEnabled);
    chkTimeLimit = new QCheckBox(QStringLiteral("S&top after a time"), this);
    chkTimeLimit->setObjectName(QStringLiteral("chkTimeLimit"));
    layout->addWidget(chkTimeLimit);
    txtTimeLimit = addEntry(
        "txtTimeLimit", QStringLiteral("Stop after ... seconds"), QStringLiteral("1 to 86,400"),
        QStringLiteral("The whole generation ends within this time with the smallest matrix found: the "
                       "evolutions run while half of it lasts (the first always), compaction the rest."));
    connect(chkTimeLimit, &QCheckBox::toggled, txtTimeLimit, &QWidget::setEnabled);

    auto* buttons = new QDialogButtonBox(this);
    cmdOK = AddButton(buttons, QStringLiteral("cmdOK"), QStringLiteral("O&K"), QDialogButtonBox::AcceptRole);
    Command2 = AddButton(buttons, QStringLiteral("Command2"), QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cmdHelp = AddButton(buttons, QStringLiteral("cmdHelp"), QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    cmdOK->setDefault(true);
    // The buttons are wired here, not through the box's accepted/rejected, so that O&K can
    // refuse and keep the dialog open.
    connect(cmdOK, &QPushButton::clicked, this, &frmDefaults::cmdOK_Click);
    connect(Command2, &QPushButton::clicked, this, &frmDefaults::Command2_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmDefaults::cmdHelp_Click);

    layout->addWidget(buttons);
    setMinimumWidth(420);

    txtMaxNumEvolutions->setText(QString::number(mDefaults.lMaxNumEvolutions));
    chkCompact->setChecked(mDefaults.bCompactTestCases);
    txtCompactEffort->setText(QString::number(mDefaults.lCompactEffort));
    txtCompactEffort->setEnabled(mDefaults.bCompactTestCases);
    chkTimeLimit->setChecked(mDefaults.bTimeLimit);
    txtTimeLimit->setText(QString::number(mDefaults.lTimeLimitSeconds));
    txtTimeLimit->setEnabled(mDefaults.bTimeLimit);
}

QString frmDefaults::ProblemWith(const QString& text, const NumberRule& rule)
{
    const std::optional<double> value = NumericTextValue(text);
    if (!value)
        return rule.notNumeric;
    const std::optional<std::int32_t> number = RoundToLong(*value);
    if (!number)  // beyond 32 bits, on either side
        return *value < 0 ? rule.notPositive : rule.tooMany;
    if (*number < 1)
        return rule.notPositive;
    if (*number > rule.most)
        return rule.tooMany;
    return QString();
}

void frmDefaults::cmdOK_Click()
{
    // The effort is checked only when it is used; an unused one keeps its stored value.
    QLineEdit* field = txtMaxNumEvolutions;
    QString problem = ProblemWith(field->text(), kEvolutionsRule);
    if (problem.isEmpty() && chkCompact->isChecked()) {
        field = txtCompactEffort;
        problem = ProblemWith(field->text(), kEffortRule);
    }
    if (problem.isEmpty() && chkTimeLimit->isChecked()) {
        field = txtTimeLimit;
        problem = ProblemWith(field->text(), kSecondsRule);
    }
    if (problem.isEmpty()) {
        mDefaults.lMaxNumEvolutions = *NumericTextToLong(txtMaxNumEvolutions->text());
        mDefaults.bCompactTestCases = chkCompact->isChecked();
        if (mDefaults.bCompactTestCases)
            mDefaults.lCompactEffort = *NumericTextToLong(txtCompactEffort->text());
        mDefaults.bTimeLimit = chkTimeLimit->isChecked();
        if (mDefaults.bTimeLimit)
            mDefaults.lTimeLimitSeconds = *NumericTextToLong(txtTimeLimit->text());
        accept();
        return;
    }
    ShowMessage(problem, MsgButtons::Ok, MsgIcon::None);
    field->setFocus();
}

void frmDefaults::Command2_Click() { reject(); }

void frmDefaults::cmdHelp_Click() { ShowHelp(kHelpContext); }
