#pragma once
// frmKavra2, "Vesk Correlation Coefficients": the items that move together with
// the selected item, a scatter diagram of the chosen one against it, and the
// list saved or printed.

#include <QDialog>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;

namespace kavra {

struct DataSet;
struct DisplayedRows;
class ChartView;
class FileFolders;
class Interaction;
class TwipsLayout;

struct CorrelationContext {
    const DisplayedRows &rows;
    const DataSet &data;
    Interaction &ui;
    QWidget *mainWindow;
    FileFolders &folders;  // the list file's dialog starts in its kind's folder
};

// The item the others are correlated with.
struct ReferenceItem {
    QString text;
    int32_t column = 0;
};

// An item of the list to correlate: its text and data column.
struct CandidateItem {
    QString text;
    int32_t column = 0;
};

class CorrelationWindow : public QDialog {
    Q_OBJECT
public:
    CorrelationWindow(CorrelationContext context, QWidget *parent = nullptr);

    // Correlates every candidate with the reference over the displayed rows of the
    // file loaded last, lists the strong ones and charts the last line.
    void correlate(const ReferenceItem &reference, const std::vector<CandidateItem> &candidates);

    QStringList lines() const;
    const ReferenceItem &reference() const { return reference_; }
    ChartView &scatter() const { return *scatter_; }

    QString Corr_Legend_Text;
    QString Start_Date;
    double End_Date = 0;

public slots:
    void cmdKavra9221_Click();  // OK
    void cmdKavra9222_Click();  // Save Correlation List
    void cmdKavra9223_Click();  // Print Correlation List
    void cmdKavra9224_Click();  // Export Chart
    void cmdKavra9225_Click();  // Print Chart
    void drawScatterDiagram();

signals:
    void exportChartRequested();
    void printChartRequested();
    void copyChartRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::pair<int, int> shownRows() const;
    void setButtonsShown(bool shown);
    void progress(const QString &text, int count);
    // The four header lines of the saved and printed list.
    QStringList headerLines() const;

    CorrelationContext c_;
    ReferenceItem reference_;
    QLabel *heading_, *progressText_;
    QListWidget *list_;
    QProgressBar *progressBar_;
    std::vector<QPushButton *> buttons_;
    TwipsLayout *twips_ = nullptr;
    ChartView *scatter_;
    QMenu *scatterMenu_;
};

}  // namespace kavra
