#include "app/frmAbout.h"

#include "platform/HelpViewer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(HelpViewer& help, QWidget* parent)
    : QDialog(parent), cmdOk(new QPushButton(QStringLiteral("O&K"), this)),
      cmdHelp(new QPushButton(QStringLiteral("&Help"), this)),
      Command1(new QPushButton(QStringLiteral("&Tech Support"), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Vantrel"));
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    Command1->setObjectName(QStringLiteral("Command1"));

    auto* name = new QLabel(QStringLiteral("Vantrel 1.0"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    auto* notice = new QLabel(QStringLiteral("Copyright \u00A9 Corvantis. All rights reserved.\n"
                                             "This program is protected by copyright law. Unauthorised copying or "
                                             "distribution of it, or of any part of it, is not permitted."),
                              this);
    notice->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdHelp);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(notice);
    layout->addLayout(buttons);
    cmdOk->setDefault(true);

    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdHelp, &QPushButton::clicked, this, [&help] { help.showHelp(1); });
    connect(Command1, &QPushButton::clicked, this, [&help] { help.showHelp(35); });
}
