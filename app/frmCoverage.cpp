#include "app/frmCoverage.h"

#include "app/CoverageChart.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "files/CoverageChartSvg.h"
#include "files/ExportOutput.h"
#include "files/FileWriter.h"
#include "model/DesignWorkbook.h"
#include "platform/FileDialogs.h"
#include "platform/HelpViewer.h"
#include "platform/MessageBox.h"
#include "platform/PrinterSetup.h"
#include "platform/StatusPanels.h"
#include "search/CoverageSummary.h"
#include "sheets/GridView.h"
#include "sheets/SheetWindow.h"

#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

namespace {

QPushButton* NewButton(const char* caption, QWidget* parent) { return new QPushButton(QString::fromLatin1(caption), parent); }

// From red (nothing covered) through yellow to green (everything).
QColor ShareColour(double share) { return QColor::fromHsvF(float(share) / 3.0f, 0.35f, 1.0f); }

// The strength of the matrix the Test Cases sheet shows, as its panel tells it ("3-Way").
int ShownStrength(const frmMain& window)
{
    const int strength = window.PanelText(kPanelStrength).section(QLatin1Char('-'), 0, 0).toInt();
    return strength >= 2 ? strength : 2;
}

QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace

frmCoverage::frmCoverage(const CommandContext& context)
    : QWidget(&context.window, Qt::Window),
      lblSummary(new QLabel(this)),
      spnStrength(new QSpinBox(this)),
      tabs(new QTabWidget(this)),
      chartView(new QChartView(this)),
      tblPairs(new QTableWidget(this)),
      tblCombinations(new QTableWidget(this)),
      lblDetail(new QLabel(this)),
      cmdRefresh(NewButton("&Refresh", this)),
      cmdExport(NewButton("&Export Picture...", this)),
      cmdPrint(NewButton("&Print...", this)),
      cmdHelp(NewButton("&Help", this)),
      mContext(context)
{
    setWindowTitle(QStringLiteral("Coverage"));
    setObjectName(QStringLiteral("frmCoverage"));
    LayOut();
    spnStrength->setRange(2, 6);
    spnStrength->setValue(ShownStrength(context.window));
    connect(cmdRefresh, &QPushButton::clicked, this, &frmCoverage::Refresh);
    connect(spnStrength, &QSpinBox::valueChanged, this, &frmCoverage::Refresh);
    connect(cmdExport, &QPushButton::clicked, this, &frmCoverage::ExportPicture);
    connect(cmdPrint, &QPushButton::clicked, this, &frmCoverage::PrintView);
    connect(cmdHelp, &QPushButton::clicked, this, [this] { mContext.help.showHelp(kCoverageHelpContext); });
    connect(tblCombinations, &QTableWidget::itemSelectionChanged, this, &frmCoverage::ShowSelected);
    resize(900, 640);
}

frmCoverage::~frmCoverage() = default;

void frmCoverage::LayOut()
{
    lblSummary->setWordWrap(true);
    lblDetail->setWordWrap(true);
    lblDetail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    chartView->setRenderHint(QPainter::Antialiasing);
    for (QTableWidget* table : {tblPairs, tblCombinations})
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblCombinations->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblCombinations->setSelectionMode(QAbstractItemView::SingleSelection);
    tblCombinations->setColumnCount(3);
    tblCombinations->setHorizontalHeaderLabels({QStringLiteral("What"), QStringLiteral("Levels"), QStringLiteral("Why")});
    tblCombinations->horizontalHeader()->setStretchLastSection(true);
    auto* list = new QWidget(this);
    auto* listLayout = new QHBoxLayout(list);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(tblCombinations);
    tabs->addTab(chartView, QStringLiteral("&Growth"));
    tabs->addTab(tblPairs, QStringLiteral("&Factor Pairs"));
    tabs->addTab(list, QStringLiteral("&Combinations"));

    auto* layout = new QGridLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(lblSummary, 1);
    top->addWidget(new QLabel(QStringLiteral("Strength:"), this));
    top->addWidget(spnStrength);
    layout->addLayout(top, 0, 0);
    layout->addWidget(tabs, 1, 0);
    layout->addWidget(lblDetail, 2, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {cmdRefresh, cmdExport, cmdPrint, cmdHelp})
        buttons->addWidget(button);
    layout->addLayout(buttons, 3, 0);
}

void frmCoverage::Refresh()
{
    mRead = modMain::ReadCommandDesign(mContext, mDesign);
    mReport = vantrel::Coverage();
    if (mRead)
        mReport = mDesign.design->CoverageOf(mContext.design.TestCaseNames(mDesign.text.numFactors),
                                             {spnStrength->value(), true, true});
    lblSummary->setText(mRead ? SummarizeCoverage(mReport).text : QStringLiteral("The design does not read."));
    lblDetail->clear();
    FillChart();
    FillPairs();
    FillCombinations();
    cmdExport->setEnabled(mRead);
    cmdPrint->setEnabled(mRead);
}

QStringList frmCoverage::RequirementNames() const
{
    QStringList names;
    for (const vantrel::Requirement& requirement : mReport.requirements)
        names << QString::fromStdString(requirement.name);
    return names;
}

void frmCoverage::FillChart()
{
    QChart* old = chartView->chart();
    chartView->setChart(MakeCoverageChart(mReport, RequirementNames()));
    delete old;
}

void frmCoverage::FillPairs()
{
    const int F = mRead ? mDesign.text.numFactors : 0;
    tblPairs->clear();
    tblPairs->setRowCount(F);
    tblPairs->setColumnCount(F);
    QStringList names;
    for (int f = 1; f <= F; ++f)
        names << mDesign.text.factors.at(0, f);
    tblPairs->setHorizontalHeaderLabels(names);
    tblPairs->setVerticalHeaderLabels(names);
    for (int i = 0; i < F && !mReport.factorPairs.empty(); ++i)
        for (int j = 0; j < F; ++j) {
            if (i == j)
                continue;
            const vantrel::Coverage::Counts& counts = mReport.factorPairs[mReport.FactorPair(std::min(i, j), std::max(i, j))];
            QTableWidgetItem* item = Cell(QStringLiteral("%1/%2").arg(counts.covered).arg(counts.required));
            const double share = counts.required > 0 ? double(counts.covered) / double(counts.required) : 1.0;
            item->setBackground(ShareColour(share));
            item->setToolTip(QStringLiteral("%1 of the %2 combinations of %3 and %4 that a valid test case can hold")
                                 .arg(counts.covered)
                                 .arg(counts.required)
                                 .arg(names[i], names[j]));
            tblPairs->setItem(i, j, item);
        }
    tblPairs->resizeColumnsToContents();
}

void frmCoverage::AddListed(Listed listed, const QString& what, const QString& levels, const QString& why)
{
    const int row = tblCombinations->rowCount();
    tblCombinations->insertRow(row);
    tblCombinations->setItem(row, 0, Cell(what));
    tblCombinations->setItem(row, 1, Cell(levels));
    tblCombinations->setItem(row, 2, Cell(why));
    mListed.push_back(std::move(listed));
}

void frmCoverage::FillCombinations()
{
    tblCombinations->setRowCount(0);
    mListed.clear();
    if (!mRead)
        return;
    const vantrel::Design& design = *mDesign.design;
    for (std::size_t k = 0; k < mReport.problems.size() && mListed.size() < kMaxListed; ++k) {
        const vantrel::ProblemRow& row = mReport.problems[k];
        AddListed({Listed::Kind::TestCase, k, {}},
                  row.previous ? QStringLiteral("Previous test %1").arg(row.row + 1) : QStringLiteral("Test case %1").arg(row.row + 1),
                  QString(), QString::fromStdString(row.problem));
    }
    for (std::size_t k = 0; k < mReport.missing.size() && mListed.size() < kMaxListed; ++k)
        AddListed({Listed::Kind::Missing, k, {}}, QStringLiteral("Missing"), LevelsText(design, mReport.missing[k].levels),
                  QString());
    for (std::size_t k = 0; k < mReport.excluded.size() && mListed.size() < kMaxListed; ++k) {
        const vantrel::Combination& excluded = mReport.excluded[k];
        const bool validOnly =
            mReport.requirements[std::size_t(excluded.requirement)].kind != vantrel::Requirement::Kind::InvalidPairs;
        vantrel::Reason reason = design.Explain(excluded.levels, validOnly);
        const QString why = QString::fromStdString(reason.phrase);
        AddListed({Listed::Kind::CannotOccur, k, std::move(reason)}, QStringLiteral("Cannot occur"),
                  LevelsText(design, excluded.levels), why);
    }
    tblCombinations->resizeColumnToContents(0);
    tblCombinations->resizeColumnToContents(1);
}

void frmCoverage::ShowSelected()
{
    const QList<QTableWidgetSelectionRange> ranges = tblCombinations->selectedRanges();
    if (ranges.isEmpty() || std::size_t(ranges.first().topRow()) >= mListed.size())
        return;
    const Listed& listed = mListed[std::size_t(ranges.first().topRow())];
    const vantrel::Design& design = *mDesign.design;
    switch (listed.kind) {
    case Listed::Kind::Missing: {
        const std::vector<vantrel::LevelRef>& levels = mReport.missing[listed.index].levels;
        lblDetail->setText(LevelsText(design, levels) + QStringLiteral(" can occur: ") + ExampleText(levels));
        break;
    }
    case Listed::Kind::CannotOccur:
        lblDetail->setText(QString::fromStdString(
            listed.reason.Sentence(LevelsText(design, mReport.excluded[listed.index].levels).toStdString())));
        modMain::ShowStatements(mContext, listed.reason.statements);
        break;
    case Listed::Kind::TestCase:
        lblDetail->setText(tblCombinations->item(ranges.first().topRow(), 0)->text() + QLatin1Char(' ') +
                           tblCombinations->item(ranges.first().topRow(), 2)->text() + QLatin1Char('.'));
        ShowProblemRow(mReport.problems[listed.index]);
        break;
    }
}

QString frmCoverage::ExampleText(const std::vector<vantrel::LevelRef>& levels)
{
    const vantrel::Reason reason = mDesign.design->Explain(levels, true);
    if (!reason.CanOccur())
        return QString::fromStdString(reason.phrase);
    return QStringLiteral("for example ") + LevelsText(*mDesign.design, RowLevels(reason.example)) + QLatin1Char('.');
}

void frmCoverage::ShowProblemRow(const vantrel::ProblemRow& row)
{
    // A test case stands in grid row its number + 1, below the factor names.
    const int item = row.previous ? frmMain::ItemPreviousTest : frmMain::ItemTestCases;
    mContext.window.SwitchToOutlookItem(item);
    mContext.window.Sheet(item)->Grid->setActiveCell(1, row.previous ? row.row + 1 : row.row + 2);
}

void frmCoverage::ExportPicture()
{
    const QString path = GetSaveFileName({QStringLiteral("Export Coverage Chart"), QString(),
                                          QStringLiteral("PNG Image (*.png);;SVG Image (*.svg)"), QStringLiteral("png")});
    if (path.isEmpty())
        return;
    const bool svg = path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
    FileWriter file(path);
    Result<void> written = file.open();
    if (written && svg)
        written = WriteToDevice(file.device(), CoverageChartSvg(mReport, RequirementNames()));
    else if (written && !chartView->grab().save(&file.device(), "PNG"))
        written = Failure{QStringLiteral("The picture could not be made.")};
    if (written)
        written = file.commit();
    if (!written)
        ShowMessage(mContext.messages, written.error(), MsgButtons::Ok, MsgIcon::Critical);
}

void frmCoverage::PrintView()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Coverage"));
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!SetUpPrinter(printer, true, this))
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMessage(mContext.messages, QStringLiteral("The coverage could not be printed."), MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    // The summary above the chart, the chart filling the rest of the page.
    const QRect page = painter.viewport();
    const QRect text = painter.boundingRect(page, Qt::TextWordWrap, lblSummary->text());
    painter.drawText(page, Qt::TextWordWrap, lblSummary->text());
    chartView->render(&painter, QRectF(page.left(), text.bottom() + text.height(), page.width(),
                                       page.height() - 2 * text.height()));
    painter.end();
}
