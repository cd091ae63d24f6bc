#pragma once
// frmKavraReadout, "Cursor Readout": the A and B cursors' times, the span
// between them, and for each charted series its values at A and at B, their
// difference, and the minimum, maximum, mean and median over the rows from A
// to B, in the chart's number format. It is told of every cursor move and
// redraw; "Copy" puts the table on the clipboard as tab-separated text.

#include <QColor>
#include <QDialog>
#include <QString>

#include <map>
#include <memory>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kavra {

namespace analysis {
class RangeStatistics;
struct RangeFigures;
}  // namespace analysis

// One series of the readout: values[i] is the value of row firstRow + i.
struct ReadoutSeries {
    QString name;
    QColor colour;
    const double *values = nullptr;
    size_t count = 0;
    int firstRow = 1;
    QString format;  // the number format of its value axis
    // The item and file the values are a column of, so that what is worked out
    // from them is kept across redraws; 0 for values computed for one chart.
    int column = 0;
    int file = 0;
};

struct ReadoutInput {
    int rowA = 0, rowB = 0;  // 1-based, A the earlier
    double timeA = 0, timeB = 0;
    std::vector<ReadoutSeries> series;
};

// A span of days as hours, minutes and seconds: "00:00:00", "01:30:05",
// "2 d 03:00:00", "00:00:00.250" (milliseconds only when there are any).
QString spanText(double days);

class CursorReadoutWindow : public QDialog {
    Q_OBJECT
public:
    explicit CursorReadoutWindow(QWidget *parent = nullptr);
    ~CursorReadoutWindow() override;

    // Fills the readout for this input (shown or not). newChart: the chart was drawn anew, so
    // values computed for the chart before are gone.
    void showReadout(const ReadoutInput &input, bool newChart);
    // The data set changed (closed, or a first file loaded): nothing kept holds.
    void forgetData();

    // The table as Copy puts it on the clipboard: a header row, then a row a series.
    QString tableText() const;

public slots:
    void cmdKavraReadoutCopy_Click();
    void cmdKavraReadoutOK_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    static std::pair<int, int> keyOf(const ReadoutSeries &series, size_t index);
    void keepFigures(const ReadoutInput &input);
    void fitToTable();
    analysis::RangeFigures figuresOf(const ReadoutSeries &series, size_t first, size_t last, size_t index);

    QLabel *timeA_, *timeB_, *span_;
    QTableWidget *table_;
    QPushButton *copy_, *ok_;
    // What is worked out from a series once, by its item and file; values
    // computed for one chart by their series' place in it.
    std::map<std::pair<int, int>, std::unique_ptr<analysis::RangeStatistics>> kept_;
};

}  // namespace kavra
