#include "settings/frmDefaults.h"

#include "app/HelpViewer.h"
#include "app/MessageBox.h"
#include "settings/CDefaults.h"
#include "settings/NumericText.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kHelpContext = 22;
constexpr std::int32_t kMostEvolutions = 10000;

const QString kNotNumeric = QStringLiteral("The number of evolutions must be numeric.");
const QString kNotPositive = QStringLiteral("The number of evolutions must be greater than zero.");
const QString kTooMany = QStringLiteral("The number of evolutions must be 10,000 or less.");

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
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addWidget(explanation);
    layout->addWidget(buttons);
    setMinimumWidth(420);

    txtMaxNumEvolutions->setText(QString::number(mDefaults.lMaxNumEvolutions));
}

QString frmDefaults::ProblemWith(const QString& text)
{
    const std::optional<double> value = NumericTextValue(text);
    if (!value)
        return kNotNumeric;
    const std::optional<std::int32_t> evolutions = RoundToLong(*value);
    if (!evolutions)  // beyond 32 bits, on either side
        return *value < 0 ? kNotPositive : kTooMany;
    if (*evolutions < 1)
        return kNotPositive;
    if (*evolutions > kMostEvolutions)
        return kTooMany;
    return QString();
}

void frmDefaults::cmdOK_Click()
{
    const QString problem = ProblemWith(txtMaxNumEvolutions->text());
    if (problem.isEmpty()) {
        mDefaults.lMaxNumEvolutions = *NumericTextToLong(txtMaxNumEvolutions->text());
        accept();
        return;
    }
    ShowMessage(problem, MsgButtons::Ok, MsgIcon::None);
    txtMaxNumEvolutions->setFocus();
}

void frmDefaults::Command2_Click() { reject(); }

void frmDefaults::cmdHelp_Click() { ShowHelp(kHelpContext); }
