#include "settings/frmDefaults.h"

#include "app/HelpViewer.h"
#include "app/MessageBox.h"
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

    txtMaxNumEvolutions = new QLineEdit(this);
    txtMaxNumEvolutions->setObjectName(QStringLiteral("txtMaxNumEvolutions"));
    auto* caption = new QLabel(QStringLiteral("Number of Evolutions"), this);
    caption->setBuddy(txtMaxNumEvolutions);
    auto* hint = new QLabel(QStringLiteral("1 to 10,000"), this);
    auto* explanation = new QLabel(
        QStringLiteral("The number of evolutions defines how many test case matricies Vantrel will search "
                       "through before reporting the answer. The minimum number of test cases can usually be "
                       "found in 100 evolutions; however, you may select any value between 1 and 10,000."),
        this);
    explanation->setWordWrap(true);

    chkCompact = new QCheckBox(QStringLiteral("Co&mpact the test cases"), this);
    chkCompact->setObjectName(QStringLiteral("chkCompact"));
    txtCompactEffort = new QLineEdit(this);
    txtCompactEffort->setObjectName(QStringLiteral("txtCompactEffort"));
    auto* effortCaption = new QLabel(QStringLiteral("Compaction effort (thousands of moves)"), this);
    effortCaption->setBuddy(txtCompactEffort);
    auto* effortHint = new QLabel(QStringLiteral("1 to 1,000,000"), this);
    auto* compactExplanation = new QLabel(
        QStringLiteral("After the evolutions, Vantrel removes test cases from the best matrix while every pair "
                       "stays covered. A thousand thousand-moves take a few seconds to a few minutes; Stop "
                       "keeps the smallest matrix so far."),
        this);
    compactExplanation->setWordWrap(true);
    connect(chkCompact, &QCheckBox::toggled, txtCompactEffort, &QWidget::setEnabled);

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

    auto* entry = new QGridLayout;
    entry->addWidget(caption, 0, 0);
    entry->addWidget(txtMaxNumEvolutions, 0, 1);
    entry->addWidget(hint, 0, 2);
    auto* compactEntry = new QGridLayout;
    compactEntry->addWidget(effortCaption, 0, 0);
    compactEntry->addWidget(txtCompactEffort, 0, 1);
    compactEntry->addWidget(effortHint, 0, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addWidget(explanation);
    layout->addWidget(chkCompact);
    layout->addLayout(compactEntry);
    layout->addWidget(compactExplanation);
    layout->addWidget(buttons);
    setMinimumWidth(420);

    txtMaxNumEvolutions->setText(QString::number(mDefaults.lMaxNumEvolutions));
    chkCompact->setChecked(mDefaults.bCompactTestCases);
    txtCompactEffort->setText(QString::number(mDefaults.lCompactEffort));
    txtCompactEffort->setEnabled(mDefaults.bCompactTestCases);
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
    if (problem.isEmpty()) {
        mDefaults.lMaxNumEvolutions = *NumericTextToLong(txtMaxNumEvolutions->text());
        mDefaults.bCompactTestCases = chkCompact->isChecked();
        if (mDefaults.bCompactTestCases)
            mDefaults.lCompactEffort = *NumericTextToLong(txtCompactEffort->text());
        accept();
        return;
    }
    ShowMessage(problem, MsgButtons::Ok, MsgIcon::None);
    field->setFocus();
}

void frmDefaults::Command2_Click() { reject(); }

void frmDefaults::cmdHelp_Click() { ShowHelp(kHelpContext); }
