#include "app/OutputCommands.h"

#include "app/AppState.h"
#include "chart/ChartView.h"
#include "output/ChartClipboard.h"
#include "output/ChartExport.h"
#include "output/ChartPrint.h"
#include "output/ChartReport.h"
#include "output/TextPrint.h"
#include "ui/BusyCursor.h"
#include "ui/Interaction.h"
#include "ui/SaveName.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QPrinter>

#include <algorithm>
#include <iterator>

namespace kavra {
namespace {

const QColor kPanelColour(236, 233, 216);
const QString kExportTitle = QStringLiteral("Export Chart");
const QString kReportTitle = QStringLiteral("Save Report");
const QString kReportFilter = QStringLiteral("PDF files (*.pdf)|*.pdf");

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

struct PictureFile {
    QString path;
    ImageFormat format;
};

// The file and format of the name typed in the picture dialog. A name that
// ends in a known extension is that format, and the type list follows it when
// it lists the format; any other name is the chosen type's and gets its
// extension ("*.wmf" gives ".wmf"), asking before that name replaces a file.
// Empty when there is nothing to write: no type, or the file is not to be
// replaced.
template <size_t N>
std::optional<PictureFile> pictureFile(Interaction &ui, QWidget *window, const QString &typed, const QString &filter,
                                       const ImageFormat (&formats)[N], int &index)
{
    if (const std::optional<ImageFormat> named = formatForPath(typed)) {
        const ImageFormat *listed = std::find(std::begin(formats), std::end(formats), *named);
        if (listed != std::end(formats))
            index = int(listed - std::begin(formats)) + 1;
        return PictureFile{typed, *named};
    }
    const ImageFormat *chosen = formatAt(formats, index);
    if (!chosen)
        return std::nullopt;
    const QString pattern = filter.split(QLatin1Char('|')).value(2 * index - 1);
    const std::optional<QString> path = withAddedExtension(ui, window, typed, pattern.mid(1).toLower(), kExportTitle);
    if (!path)
        return std::nullopt;
    return PictureFile{*path, *chosen};
}

QString savingError(const QString &error)
{
    return QStringLiteral("Error : ") + error + QStringLiteral(" generated while saving file");
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
    std::optional<PictureFile> picture;
    if (const auto typed =
            ui_.exportFileName(window_, kMainFilter, state_.folders.startFolder(FileKind::Picture), index)) {
        state_.folders.used(FileKind::Picture, *typed);
        picture = pictureFile(ui_, window_, *typed, kMainFilter, kMainFormats, index);
    }
    QString error;
    if (picture)
        error = exportChart(chart_, picture->path, picture->format);
    chart_.setPanelColour(kPanelColour);
    if (!error.isEmpty())
        ui_.message(window_, savingError(error), QString());
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
    std::optional<PictureFile> picture;
    if (const auto typed = ui_.exportFileName(window, kScatterFilter, state_.folders.startFolder(FileKind::Picture),
                                              scatterFilterIndex_)) {
        state_.folders.used(FileKind::Picture, *typed);
        picture = pictureFile(ui_, window, *typed, kScatterFilter, kScatterFormats, scatterFilterIndex_);
    }
    if (!picture)
        return;
    scatter.setPanelColour(Qt::white);
    const QString error = exportChart(scatter, picture->path, picture->format);
    scatter.setPanelColour(kPanelColour);
    if (!error.isEmpty())
        ui_.message(window, savingError(error), QString());
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

void OutputCommands::mnuSaveReport_Click(const DataSet &data, const ItemRevision &list)
{
    std::optional<QString> path =
        ui_.saveFileName(window_, kReportFilter, state_.folders.startFolder(FileKind::Report));
    if (!path)
        return;
    state_.folders.used(FileKind::Report, *path);
    // A report is a PDF document whatever else the name says: "day" and "day.v2" give "day.pdf", "day.v2.pdf".
    if (!path->endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path = withAddedExtension(ui_, window_, *path, QStringLiteral(".pdf"), kReportTitle);
    if (!path)
        return;
    QString note;
    std::vector<size_t> items = selectedOrTopItems(data, list, state_.rows, note);
    const ReportRequest request{data,         list, std::move(items), state_.rows, state_.chart, kReportChartsPerPage,
                                reportTitle(data), note};
    QString error;
    {
        BusyCursor busy;
        error = writeReport(*path, request);
    }
    if (!error.isEmpty())
        ui_.message(window_, savingError(error), QString());
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
