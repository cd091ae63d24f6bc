#pragma once
// The commands that put a chart on paper or into a picture file: the main
// window's ExportChart, PrintChart and PrintPreview, and the correlation
// window's Export Chart and Print Chart.

#include <QObject>

class QPrinter;
class QWidget;

namespace kavra {

struct AppState;
class ChartView;
class Interaction;

class OutputCommands : public QObject {
    Q_OBJECT
public:
    OutputCommands(AppState &state, ChartView &chart, Interaction &ui, QWidget *window, QObject *parent = nullptr);

public slots:
    void mnuExportChart_Click();
    void mnuPrintChart_Click();
    void mnuPrintPreview_Click();
    // The correlation window's buttons, for its scatter diagram.
    void exportScatterDiagram(ChartView &scatter, QWidget *window);
    void printScatterDiagram(ChartView &scatter, QWidget *window);

private:
    // The print dialog, with printing to a file offered; false when cancelled.
    bool choosePrinter(QPrinter &printer, QWidget *window);

    AppState &state_;
    ChartView &chart_;
    Interaction &ui_;
    QWidget *window_;
    int scatterFilterIndex_ = 1;  // the shared dialog keeps the last choice
};

}  // namespace kavra
