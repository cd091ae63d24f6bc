#include "output/OutputCommands.h"

#include "app/AppState.h"
#include "app/BusyCursor.h"
#include "app/Interaction.h"
#include "chart/ChartView.h"
#include "output/ChartExport.h"
#include "output/ChartPrint.h"

#include <QApplication>
#include <QPrinter>

#include <iterator>

namespace kavra {
namespace {

const QColor kPanelColour(236, 233, 216);

const QString kMainFilter = QStringLiteral(
    "Images (*.bmp)|*.bmp|Images(*.jpg)|*.jpg|Images(*.wmf)|*.wmf|Images(*.emf)|*.emf|Images (*.gif)|*.gif|"
    "Images (*.png)|*.png|Images (*.pcx)|*.pcx|Images(*.eps)|*.eps|Images(*.pdf)|*.pdf|Images(*.svg)|*.svg");
const ImageFormat kMainFormats[] = {ImageFormat::Bmp, ImageFormat::Jpeg, ImageFormat::Wmf, ImageFormat::Emf,
                                    ImageFormat::Gif, ImageFormat::Png,  ImageFormat::Pcx, ImageFormat::Eps,
                                    ImageFormat::Pdf, ImageFormat::Svg};

const QString kScatterFilter = QStringLiteral(
    "Images (*.wmf)|*.wmf|Images(*.jpg)|*.jpg|Images(*.bmp)|*.bmp|Images (*.emf)|*.emf|Images (*.gif)|*.gif|"
    "Images (*.png)|*.png|Images (*.pcx)|*.pcx");
const ImageFormat kScatterFormats[] = {ImageFormat::Wmf, ImageFormat::Jpeg, ImageFormat::Bmp, ImageFormat::Emf,
                                       ImageFormat::Gif, ImageFormat::Png,  ImageFormat::Pcx};


// The format of a filter index (1-based), if the table has one.
template <size_t N> const ImageFormat *formatAt(const ImageFormat (&formats)[N], int index)
{
    return index >= 1 && index <= int(N) ? &formats[index - 1] : nullptr;
}

}  // namespace

OutputCommands::OutputCommands(AppState &state, ChartView &chart, Interaction &ui, QWidget *window, QObject *parent)
    : QObject(parent), state_(state), chart_(chart), ui_(ui), window_(window)
{
}

void OutputCommands::mnuExportChart_Click()
{
    chart_.setPanelColour(Qt::white);
    int index = state_.Export_Filter_Index;  // the dialog always opens on this entry
    const auto path = ui_.exportFileName(window_, kMainFilter, index);
    QString error;
    if (path)
        if (const ImageFormat *format = formatAt(kMainFormats, index))
            error = exportChart(chart_, *path, *format);
    chart_.setPanelColour(kPanelColour);
    if (!error.isEmpty())
        ui_.message(window_, QStringLiteral("Error : ") + error + QStringLiteral(" generated while saving file"),
                    QString());
}

void OutputCommands::mnuPrintChart_Click()
{
    QPrinter printer;  // the default printer, no dialog
    QString error;
    {
        BusyCursor busy;
        error = printChart(chart_, printer, 0.15, 0.25);
    }
    chart_.setPanelColour(kPanelColour);
    if (!error.isEmpty())
        ui_.message(window_, QStringLiteral("The chart was not printed: ") + error, QString());
}

void OutputCommands::mnuPrintPreview_Click()
{
    ui_.printPreview(window_, [this](QPrinter &printer) { paintPreview(chart_, printer, 0.15, 0.25); });
}

void OutputCommands::exportScatterDiagram(ChartView &scatter, QWidget *window)
{
    const auto path = ui_.exportFileName(window, kScatterFilter, scatterFilterIndex_);
    const ImageFormat *format = formatAt(kScatterFormats, scatterFilterIndex_);
    if (!path || !format)
        return;
    scatter.setPanelColour(Qt::white);
    const QString error = exportChart(scatter, *path, *format);
    scatter.setPanelColour(kPanelColour);
    if (!error.isEmpty())
        ui_.message(window, QStringLiteral("Error : ") + error + QStringLiteral(" generated while saving file"),
                    QString());
}

void OutputCommands::printScatterDiagram(ChartView &scatter, QWidget *window)
{
    QPrinter printer;
    QString error;
    {
        BusyCursor busy;
        scatter.setPanelColour(Qt::white);
        error = printChart(scatter, printer, 0.15, 0.25);  // the margins of the main chart
    }
    scatter.setPanelColour(kPanelColour);
    if (!error.isEmpty())
        ui_.message(window, QStringLiteral("The chart was not printed: ") + error, QString());
}

}  // namespace kavra
