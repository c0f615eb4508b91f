#include "app/frmStrength.h"

#include <vantrel/design.hpp>
#include "platform/HelpViewer.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

frmStrength::frmStrength(std::int32_t strength, HelpViewer& help, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStrength"));
    setWindowTitle(QStringLiteral("Generate N-Way"));

    spnStrength = new QSpinBox(this);
    spnStrength->setObjectName(QStringLiteral("spnStrength"));
    spnStrength->setRange(2, vantrel::kMaxStrength);
    spnStrength->setValue(strength);
    auto* caption = new QLabel(QStringLiteral("&Factors at a time:"), this);
    caption->setBuddy(spnStrength);
    auto* explanation = new QLabel(QStringLiteral("The test cases will hold every combination of the levels of this "
                                                  "many factors: 2 for pairs, 3 for triples, up to 6. Each step "
                                                  "takes many more test cases than the one before."),
                                   this);
    explanation->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [&help] { help.showHelp(kHelpContext); });

    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(spnStrength);
    row->addStretch();
    layout->addLayout(row);
    layout->addWidget(explanation);
    layout->addWidget(buttons);
    spnStrength->setFocus();
    spnStrength->selectAll();
}

std::int32_t frmStrength::Strength() const { return spnStrength->value(); }
