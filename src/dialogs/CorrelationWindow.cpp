#include "dialogs/CorrelationWindow.h"

#include "analysis/Correlation.h"
#include "chart/ChartView.h"
#include "chart/ScatterDiagram.h"
#include "data/AtomicFile.h"
#include "data/DataSet.h"
#include "data/DisplayedRows.h"
#include "data/TimeStrings.h"
#include "output/PrintFile.h"
#include "output/TextPrint.h"
#include "ui/BusyCursor.h"
#include "ui/ContextMenus.h"
#include "ui/FileFolders.h"
#include "ui/Interaction.h"
#include "ui/SaveName.h"
#include "ui/TwipsLayout.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace kavra {
namespace {

QString dateText(double value) { return QString::fromStdString(timestr::generalDateText(value)); }


}  // namespace

CorrelationWindow::CorrelationWindow(CorrelationContext context, QWidget *parent)
    : QDialog(parent), c_(context), heading_(new QLabel(this)), progressText_(new QLabel(this)),
      list_(new QListWidget(this)), progressBar_(new QProgressBar(this)), scatter_(new ChartView(this)),
      scatterMenu_(new QMenu(this))
{
    setObjectName(QStringLiteral("frmKavra2"));
    setWindowTitle(QStringLiteral("Vesk Correlation Coefficients"));
    setModal(false);
    twips_ = new TwipsLayout(this, {11880, 6270});
    heading_->setObjectName(QStringLiteral("lblKavra3"));
    QFont headingFont(QStringLiteral("Arial"));
    headingFont.setPointSizeF(9.75);
    headingFont.setBold(true);
    heading_->setFont(headingFont);
    heading_->setTextFormat(Qt::PlainText);
    progressText_->setObjectName(QStringLiteral("lblKavra2"));
    progressText_->setTextFormat(Qt::PlainText);
    list_->setObjectName(QStringLiteral("lstKavra9221"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    progressBar_->setObjectName(QStringLiteral("pbrKavra2"));
    scatter_->setObjectName(QStringLiteral("tchKavra9221"));
    setUpScatterChart(*scatter_, &Corr_Legend_Text);
    twips_->place(heading_, 120, 120, 3975, 495);
    twips_->place(list_, 240, 840, 3855, 2985);
    twips_->place(progressText_, 120, 3960, 3975, 255);
    twips_->place(progressBar_, 0, 4440, 4215, 375);
    twips_->place(scatter_, 4320, 120, 7455, 6015);

    struct ButtonDesign {
        const char *name, *caption;
        int left, top, width, height;
        void (CorrelationWindow::*slot)();
    };
    const ButtonDesign designs[] = {
        {"cmdKavra9221", "OK", 1440, 5760, 1335, 375, &CorrelationWindow::cmdKavra9221_Click},
        {"cmdKavra9222", "Save Correlation List", 480, 4200, 1215, 495, &CorrelationWindow::cmdKavra9222_Click},
        {"cmdKavra9223", "Print Correlation List ", 480, 4920, 1215, 495, &CorrelationWindow::cmdKavra9223_Click},
        {"cmdKavra9224", "Export Chart", 2760, 4200, 1215, 495, &CorrelationWindow::cmdKavra9224_Click},
        {"cmdKavra9225", "Print Chart", 2760, 4920, 1215, 495, &CorrelationWindow::cmdKavra9225_Click},
    };
    for (const ButtonDesign &design : designs) {
        auto *button = new QPushButton(QString::fromLatin1(design.caption), this);
        button->setObjectName(QString::fromLatin1(design.name));
        twips_->place(button, design.left, design.top, design.width, design.height);
        connect(button, &QPushButton::clicked, this, design.slot);
        buttons_.push_back(button);
    }
    connect(list_, &QListWidget::currentRowChanged, this, &CorrelationWindow::drawScatterDiagram);

    // The diagram's own menu, so the window keeps its designed buttons.
    scatterMenu_->setObjectName(QString::fromLatin1(kScatterDiagramMenu.objectName));
    QAction *copy = scatterMenu_->addAction(QString::fromLatin1(kCopyScatterChart.caption));
    copy->setObjectName(QString::fromLatin1(kCopyScatterChart.objectName));
    connect(copy, &QAction::triggered, this, &CorrelationWindow::copyChartRequested);
    connect(scatter_, &ChartView::contextMenuWanted, scatterMenu_,
            [this](const QPoint &at) { scatterMenu_->popup(at); });
}

void CorrelationWindow::setButtonsShown(bool shown)
{
    for (QPushButton *button : buttons_)
        button->setVisible(shown);
}

QStringList CorrelationWindow::lines() const
{
    QStringList texts;
    for (int i = 0; i < list_->count(); ++i)
        texts << list_->item(i)->text();
    return texts;
}

// ---- Correlating ------------------------------------------------------------

// The displayed rows that the data has; last < first when none is left.
std::pair<int, int> CorrelationWindow::shownRows() const
{
    return {qMax(1, int(c_.rows.Zoom_First_Row)), qMin(int(c_.data.Row_Count), int(c_.rows.Zoom_Last_Row))};
}

void CorrelationWindow::progress(const QString &text, int count)
{
    static QElapsedTimer repainted;
    if (count > 1 && repainted.isValid() && repainted.elapsed() < 50)
        return;  // the window repaints at a bounded rate, not once per item
    progressText_->setText(QStringLiteral("Processing ") + text + QStringLiteral(" ... "));
    progressBar_->setValue(count);
    repaint();
    repainted.restart();
}

void CorrelationWindow::correlate(const ReferenceItem &reference, const std::vector<CandidateItem> &candidates)
{
    cmdKavra9221_Click();
    reference_ = reference;
    show();
    raise();
    activateWindow();
    scatter_->hide();
    list_->clear();
    list_->show();
    progressText_->show();
    heading_->setText(QStringLiteral("Correlations against \r\n\"") + reference.text +
                      QStringLiteral("\" are as follows :"));
    heading_->show();
    heading_->repaint();
    progressBar_->setRange(1, qMax(1, int(candidates.size())));
    progressBar_->setValue(1);
    progressBar_->show();

    const DataSet &data = c_.data;
    const auto [first, last] = shownRows();
    const size_t rows = last >= first ? size_t(last - first + 1) : 0;
    const int file = data.Files_Open;
    std::vector<analysis::CorrelationItem> items;
    items.reserve(candidates.size());
    for (const CandidateItem &candidate : candidates)
        items.push_back({candidate.text.toLocal8Bit().toStdString(), candidate.column});
    std::vector<double> values(rows);  // one column at a time, past the cache
    const std::vector<analysis::CorrelationLine> found = analysis::correlationList(
        [&](int32_t column) {
            data.Perf_Data.decode(column, file, first, int(rows), values.data());
            return values.data();
        },
        rows, reference.column, items,
        [this](const std::string &text, int count) { progress(QString::fromLocal8Bit(text.data(), qsizetype(text.size())), count); });
    for (const analysis::CorrelationLine &line : found) {
        auto *entry = new QListWidgetItem(QString::fromLocal8Bit(line.text.data(), qsizetype(line.text.size())), list_);
        entry->setData(Qt::UserRole, line.column);
    }
    if (list_->count() > 0)
        list_->setCurrentRow(list_->count() - 1);
    progressText_->hide();
    progressBar_->hide();
    setButtonsShown(true);
    scatter_->show();
    list_->setFocus();
    repaint();
    if (list_->count() == 0) {
        c_.ui.message(this, QStringLiteral("No relevant items found ..."), QString());
        cmdKavra9221_Click();
    }
}

void CorrelationWindow::cmdKavra9221_Click()
{
    list_->clear();
    setButtonsShown(false);
    hide();
}

void CorrelationWindow::closeEvent(QCloseEvent *event)
{
    cmdKavra9221_Click();
    event->accept();
}

// ---- The scatter diagram ------------------------------------------------------

void CorrelationWindow::drawScatterDiagram()
{
    const QListWidgetItem *line = list_->currentItem();
    if (!line)
        return;
    const DataSet &data = c_.data;
    const auto [first, last] = shownRows();
    if (last < first)
        return;
    const ScatterDrawn drawn = kavra::drawScatterDiagram(*scatter_, data, line->text(), line->data(Qt::UserRole).toInt(),
                                                         reference_.text, reference_.column, first, last);
    Corr_Legend_Text = drawn.legendText;
    Start_Date = drawn.startDate;
    End_Date = drawn.endDate;
    scatter_->draw();  // the legend shows the new coefficient text
}

// ---- Saving and printing the list ------------------------------------------------

QStringList CorrelationWindow::headerLines() const
{
    return {QStringLiteral("Correlations against ") + reference_.text + QStringLiteral(" for the Data Collection on "),
            QStringLiteral("node ") + QString::fromLocal8Bit(c_.data.Node_Name) +
                QStringLiteral(" for the period between "),
            Start_Date + QStringLiteral(" and ") + dateText(End_Date), QStringLiteral("are as follows :")};
}

void CorrelationWindow::cmdKavra9222_Click()
{
    c_.ui.message(this, QStringLiteral("Save Correlations to file ... "), QString());
    auto path = c_.ui.saveFileName(this, QStringLiteral(".TXT files (*.TXT)|*.Txt"),
                                   c_.folders.startFolder(FileKind::CorrelationList));
    if (path && !hasExtension(*path))
        path = withAddedExtension(c_.ui, this, *path, QStringLiteral(".txt"), QStringLiteral("Save Correlation List"));
    if (!path)
        return;
    c_.folders.used(FileKind::CorrelationList, *path);
    std::vector<std::string> text;
    for (const QString &line : headerLines() + lines())
        text.push_back(line.toLocal8Bit().toStdString());
    std::string error;
    {
        BusyCursor busy;
        error = writeTextLines(path->toLocal8Bit().toStdString(), text);
    }
    if (!error.empty())
        c_.ui.message(this, QStringLiteral("Error : ") + QString::fromLocal8Bit(error) +
                                QStringLiteral(" generated while Creating file"),
                      QString());
}

void CorrelationWindow::cmdKavra9223_Click()
{
    c_.ui.message(this, QStringLiteral("Print Correlations ... "), QString());
    QPrinter printer;
    offerPrintingToFile(printer);
    if (!c_.ui.choosePrinter(this, printer))
        return;
    if (!canPrint(printer)) {
        c_.ui.message(this, QStringLiteral("No printer is available - the correlation list cannot be printed"),
                      QString());
        return;
    }
    QStringList printed;
    for (const QString &line : headerLines())
        printed << QLatin1Char('\t') + line;
    const QStringList entries = lines();
    for (auto it = entries.crbegin(); it != entries.crend(); ++it)
        printed << QStringLiteral("\t\t") + *it;
    QString error;
    {
        BusyCursor busy;
        error = printIntoFile(printer, [&] {
            return printTextLines(printer, printed) ? QString() : QStringLiteral("the printer could not be started");
        });
    }
    if (!error.isEmpty())
        c_.ui.message(this, QStringLiteral("The correlation list was not printed: ") + error, QString());
}

// ---- The diagram as a picture ------------------------------------------------------

// Export and printing belong to the output commands, which the main window connects.
void CorrelationWindow::cmdKavra9224_Click() { emit exportChartRequested(); }

void CorrelationWindow::cmdKavra9225_Click() { emit printChartRequested(); }

}  // namespace kavra
