#include "app/OutputCommands.h"

#include "app/AppState.h"
#include "chart/ChartView.h"
#include "output/ChartClipboard.h"
#include "output/ChartExport.h"
#include "output/ChartPrint.h"
#include "output/TextPrint.h"
#include "ui/BusyCursor.h"
#include "ui/Interaction.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QPrinter>

#include <iterator>

namespace kavra {
namespace {

const QColor kPanelColour(236, 233, 216);
const QString kExportTitle = QStringLiteral("Export Chart");

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

// The name typed in the picture dialog, with the extension of the chosen type
// ("*.wmf" gives ".wmf") when it has none. The dialog asked before replacing a
// file of the name as typed; for the name made here the same question is asked.
// Empty when the user does not want the file replaced.
std::optional<QString> completedName(Interaction &ui, QWidget *window, const QString &typed, const QString &filter,
                                     int index)
{
    const QString pattern = filter.split(QLatin1Char('|')).value(2 * index - 1);
    if (!QFileInfo(typed).suffix().isEmpty() || !pattern.startsWith(QLatin1String("*.")))
        return typed;
    const QString path = typed + pattern.mid(1).toLower();
    const QString replace = QStringLiteral("%1 already exists.\nDo you want to replace it?");
    if (QFileInfo::exists(path) && !ui.question(window, replace.arg(QFileInfo(path).fileName()), kExportTitle))
        return std::nullopt;
    return path;
}

}  // namespace

OutputCommands::OutputCommands(AppState &state, ChartView &chart, Interaction &ui, QWidget *window, QObject *parent)
    : QObject(parent), clipboard([] { return QGuiApplication::clipboard(); }), state_(state), chart_(chart), ui_(ui),
      window_(window)
{
}

void OutputCommands::mnuExportChart_Click()
{
    chart_.setPanelColour(Qt::white);
    int index = state_.Export_Filter_Index;  // the dialog always opens on this entry
    auto path = ui_.exportFileName(window_, kMainFilter, state_.folders.startFolder(FileKind::Picture), index);
    if (path) {
        state_.folders.used(FileKind::Picture, *path);
        path = completedName(ui_, window_, *path, kMainFilter, index);
    }
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
    QPrinter printer;
    if (!choosePrinter(printer, window_))
        return;
    QString error;
    {
        BusyCursor busy;
        error = printChart(chart_, printer, 0.15, 0.25);
    }
    chart_.setPanelColour(kPanelColour);
    if (!error.isEmpty())
        ui_.message(window_, QStringLiteral("The chart was not printed: ") + error, QString());
}

bool OutputCommands::choosePrinter(QPrinter &printer, QWidget *window)
{
    offerPrintingToFile(printer);
    printer.setPageOrientation(QPageLayout::Landscape);  // as the chart is printed
    return ui_.choosePrinter(window, printer);
}

void OutputCommands::mnuPrintPreview_Click()
{
    ui_.printPreview(window_, [this](QPrinter &printer) { paintPreview(chart_, printer, 0.15, 0.25); });
}

void OutputCommands::exportScatterDiagram(ChartView &scatter, QWidget *window)
{
    auto path =
        ui_.exportFileName(window, kScatterFilter, state_.folders.startFolder(FileKind::Picture), scatterFilterIndex_);
    if (path) {
        state_.folders.used(FileKind::Picture, *path);
        path = completedName(ui_, window, *path, kScatterFilter, scatterFilterIndex_);
    }
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
    if (!choosePrinter(printer, window))
        return;
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

void OutputCommands::mnuCopyChart_Click()
{
    copy(chart_, window_);
}

void OutputCommands::copyScatterDiagram(ChartView &scatter, QWidget *window)
{
    copy(scatter, window);
}

void OutputCommands::copy(ChartView &chart, QWidget *window)
{
    QString error;
    {
        BusyCursor busy;
        error = copyChartToClipboard(chart, clipboard ? clipboard() : nullptr);
    }
    if (!error.isEmpty())
        ui_.message(window, QStringLiteral("The chart was not copied: ") + error, QString());
}

}  // namespace kavra
