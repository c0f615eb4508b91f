#include "search/frmFindInter.h"

#include "platform/HelpViewer.h"
#include "platform/MessageBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {
constexpr int kHelpContext = 23;

QListWidget* NewList(const char* name, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QPushButton* NewButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// The chosen position, one-based; 0 when nothing is chosen.
std::int32_t Position(const QListWidget* list)
{
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    return chosen.isEmpty() ? 0 : list->row(chosen.first()) + 1;
}

void Refuse(const char* text) { ShowMessage(QString::fromLatin1(text), MsgButtons::Ok, MsgIcon::Information); }
}  // namespace

frmFindInter::frmFindInter(QWidget* parent)
    : QDialog(parent), lstFirstFactor(NewList("lstFirstFactor", this)), lstFirstLevel(NewList("lstFirstLevel", this)),
      lstSecondFactor(NewList("lstSecondFactor", this)), lstSecondLevel(NewList("lstSecondLevel", this)),
      cmdFind(NewButton("cmdFind", "&Find", this)), cmdCancel(NewButton("cmdCancel", "&Cancel", this)),
      cmdHelp(NewButton("cmdHelp", "&Help", this))
{
    setObjectName(QStringLiteral("frmFindInter"));
    setWindowTitle(QStringLiteral("Find Combination"));
    auto* layout = new QGridLayout(this);
    const char* headings[] = {"First Factor", "First Level", "Second Factor", "Second Level"};
    QListWidget* lists[] = {lstFirstFactor, lstFirstLevel, lstSecondFactor, lstSecondLevel};
    for (int i = 0; i < 4; ++i) {
        layout->addWidget(new QLabel(QString::fromLatin1(headings[i]), this), 0, i);
        layout->addWidget(lists[i], 1, i);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdFind);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    layout->addLayout(buttons, 2, 0, 1, 4);
    cmdFind->setDefault(true);

    // Choosing a factor lists its levels.
    connect(lstFirstFactor, &QListWidget::itemSelectionChanged, this,
            [this] { FillLevels(lstFirstLevel, Position(lstFirstFactor)); });
    connect(lstSecondFactor, &QListWidget::itemSelectionChanged, this,
            [this] { FillLevels(lstSecondLevel, Position(lstSecondFactor)); });
    connect(cmdFind, &QPushButton::clicked, this, &frmFindInter::cmdFind_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFindInter::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmFindInter::cmdHelp_Click);
}

void frmFindInter::LoadFactorsAndLevels(std::int32_t In_lNumFactors, const TextTable& In_vaFactors,
                                        const LongArray& In_alLevelCount, const std::set<std::pair<int, int>>& In_invalidLevels)
{
    mInvalidLevels = In_invalidLevels;
    mlNumFactors = In_lNumFactors;
    mvaFactors = In_vaFactors;
    malLevelCount = In_alLevelCount;
    for (QListWidget* list : {lstFirstFactor, lstFirstLevel, lstSecondFactor, lstSecondLevel})
        list->clear();
    for (int f = 1; f <= In_lNumFactors; ++f) {
        lstFirstFactor->addItem(In_vaFactors.at(0, f));
        lstSecondFactor->addItem(In_vaFactors.at(0, f));
    }
}

void frmFindInter::FillLevels(QListWidget* levels, int f)
{
    levels->clear();
    if (f < 1 || f > mlNumFactors)
        return;
    // An invalid level as test cases show it.
    for (int l = 1; l <= malLevelCount.at(f); ++l)
        levels->addItem(mInvalidLevels.count({l, f}) ? QLatin1Char('~') + mvaFactors.at(l, f) : mvaFactors.at(l, f));
}

void frmFindInter::cmdFind_Click()
{
    lFirstFactor = Position(lstFirstFactor);
    lFirstLevel = Position(lstFirstLevel);
    lSecondFactor = Position(lstSecondFactor);
    lSecondLevel = Position(lstSecondLevel);
    if (lFirstFactor == 0) {
        lstFirstFactor->setFocus();
        Refuse("You must select a first factor.");
    } else if (lFirstLevel == 0) {
        lstFirstLevel->setFocus();
        Refuse("You must select a level for the first factor.");
    } else if (lSecondFactor == 0) {
        lstSecondFactor->setFocus();
        Refuse("You must select a second factor.");
    } else if (lSecondLevel == 0) {
        lstSecondLevel->setFocus();
        Refuse("You must select a level for the second factor.");
    } else if (lFirstFactor == lSecondFactor) {
        Refuse("The first and second factors must be different.");
    } else {
        bUserCNX = false;
        done(QDialog::Accepted);
    }
}

void frmFindInter::cmdCancel_Click() { reject(); }

void frmFindInter::cmdHelp_Click() { ShowHelp(kHelpContext); }

void frmFindInter::reject()
{
    bUserCNX = true;
    QDialog::reject();
}
