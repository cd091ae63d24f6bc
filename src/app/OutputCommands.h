#pragma once
// The commands that put a chart on paper, into a picture file or on the
// clipboard: the main window's ExportChart, PrintChart, PrintPreview, Copy
// Chart and Save Report ..., and the correlation window's Export Chart, Print Chart and the scatter
// diagram's Copy Chart.

#include <QObject>

#include <functional>

class QClipboard;
class QPrinter;
class QWidget;

namespace kavra {

struct AppState;
struct DataSet;
class ChartView;
class ItemRevision;
class Interaction;

class OutputCommands : public QObject {
    Q_OBJECT
public:
    OutputCommands(AppState &state, ChartView &chart, Interaction &ui, QWidget *window, QObject *parent = nullptr);

public slots:
    void mnuExportChart_Click();
    void mnuPrintChart_Click();
    void mnuPrintPreview_Click();
    void mnuCopyChart_Click();
    // Save Report ...: the charts of list's selected items (or the top 24) over
    // the rows shown, as a PDF file named in the save dialog.
    void mnuSaveReport_Click(const DataSet &data, const ItemRevision &list);
    // The correlation window's buttons, for its scatter diagram.
    void exportScatterDiagram(ChartView &scatter, QWidget *window);
    void printScatterDiagram(ChartView &scatter, QWidget *window);
    void copyScatterDiagram(ChartView &scatter, QWidget *window);

public:
    // The desktop's clipboard, null when there is none; tests replace it.
    std::function<QClipboard *()> clipboard;

private:
    // The print dialog, with printing to a file offered; false when cancelled.
    bool choosePrinter(QPrinter &printer, QWidget *window);
    void copy(ChartView &chart, QWidget *window);

    AppState &state_;
    ChartView &chart_;
    Interaction &ui_;
    QWidget *window_;
    int scatterFilterIndex_ = 1;  // the shared dialog keeps the last choice
};

}  // namespace kavra
