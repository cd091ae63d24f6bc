// What must hold after every step. Each check returns what is wrong, empty when
// all is well.

#include "Exerciser.h"

#include "app/MainWindow.h"
#include "chart/ChartView.h"
#include "data/LoadMessages.h"
#include "data/NumberText.h"
#include "data/Text.h"
#include "dialogs/PropertiesWindow.h"
#include "items/ItemList.h"
#include "items/ListFiles.h"
#include "output/ChartExport.h"
#include "support/ChartAccess.h"
#include "ui/Edition.h"

#include "DiskFaults.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

using namespace kavra;

namespace {

const QString kSmoothed = QStringLiteral("Smoothed curve");
const QString kCandle = QStringLiteral("Candle (DownClose : Blue, UpClose : Green)");

bool sameValue(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b))
        return std::isfinite(a) == std::isfinite(b);
    return a == b;
}

bool closeValue(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b))
        return false;
    return std::fabs(a - b) <= 1e-13 * std::max(std::fabs(a), std::fabs(b)) + 1e-300;
}

struct ItemSeries {
    int series;
    QString text;
    int file;
};

// The rows of the chart's series: it starts at a row at or before Zoom_First_Row
// and ends at one at or after Zoom_Last_Row, and its values are the item's.
QString seriesHoldsTheItem(const ChartView &chart, const ItemSeries &item, int tag, const DataSet &data,
                           const AppState &state)
{
    const int count = pointCount(chart, item.series);
    if (count == 0)
        return QStringLiteral("series %1 (%2) has no points").arg(item.series).arg(item.text);
    const double x0 = pointX(chart, item.series, 0);
    // A scroll past the drawn rows widens the row range beyond them, so only the
    // rows drawn are checked.
    (void)state;
    int first = 0;
    for (int r = 1; r + count - 1 <= data.Row_Count; ++r)
        if (data.sampleTime(r) == x0)
            first = r;
    if (first == 0)
        return QStringLiteral("series %1 (%2): its %3 points are not rows around %4 to %5")
            .arg(item.series)
            .arg(item.text)
            .arg(count)
            .arg(state.rows.Zoom_First_Row)
            .arg(state.rows.Zoom_Last_Row);
    for (int p : {0, count / 2, count - 1}) {
        const double shown = pointY(chart, item.series, p);
        const double stored = data.Perf_Data(first + p, tag, item.file);
        if (!sameValue(shown, stored) || pointX(chart, item.series, p) != data.sampleTime(first + p))
            return QStringLiteral("series %1 (%2) point %3 shows %4, the data holds %5")
                .arg(item.series)
                .arg(item.text)
                .arg(p)
                .arg(shown)
                .arg(stored);
    }
    return {};
}

}  // namespace

QString Exerciser::rowRangeFits() const
{
    const AppState &s = window_->state();
    const DataSet &data = window_->data();
    if (data.Files_Open == 0)
        return {};
    if (1 <= s.rows.Zoom_First_Row && s.rows.Zoom_First_Row <= s.rows.Zoom_Last_Row &&
        s.rows.Zoom_Last_Row <= data.Row_Count)
        return {};
    return QStringLiteral("Zoom_First_Row %1, Zoom_Last_Row %2 with Row_Count %3")
        .arg(s.rows.Zoom_First_Row)
        .arg(s.rows.Zoom_Last_Row)
        .arg(data.Row_Count);
}

QString Exerciser::tagsNameStoredColumns() const
{
    const DataSet &data = window_->data();
    const ItemList &items = window_->items();
    for (int i = 0; i <= items.index(); ++i)
        for (const ItemRow &row : items.revision(i).rows)
            if (row.tag < 2 || row.tag > data.Last_Used_Column || row.tag > data.Perf_Data.columns())
                return QStringLiteral("revision %1: row \"%2\" has Tag %3; stored columns are 2 to %4")
                    .arg(i)
                    .arg(QString::fromLocal8Bit(row.text))
                    .arg(row.tag)
                    .arg(data.Last_Used_Column);
    return {};
}

// The sort commands reorder the list and leave the chart as it is, so the chart
// may show the selected items in the order they had when it was drawn.
QString Exerciser::chartShowsTheSelection()
{
    const std::vector<ItemRow> selected = selectedRows();
    QString wrong = chartMatchesSelection(selected);
    if (wrong.isEmpty()) {
        drawnSelection_ = selected;
    } else if (window_->data().Files_Open > 0 && chartMatchesSelection(drawnSelection_).isEmpty()) {
        if (sameItems(drawnSelection_, selected))
            return {};
        wrong = QStringLiteral("the chart did not follow a change of the selection: ") + wrong;
    }
    return wrong;
}

bool Exerciser::sameItems(std::vector<ItemRow> a, std::vector<ItemRow> b)
{
    const auto byTag = [](const ItemRow &x, const ItemRow &y) { return x.tag < y.tag; };
    std::sort(a.begin(), a.end(), byTag);
    std::sort(b.begin(), b.end(), byTag);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const ItemRow &x, const ItemRow &y) { return x.tag == y.tag; });
}

std::vector<ItemRow> Exerciser::selectedRows() const
{
    std::vector<ItemRow> selected;
    for (const ItemRow &row : window_->items().current().rows)
        if (row.selected)
            selected.push_back(row);
    return selected;
}

QString Exerciser::chartMatchesSelection(const std::vector<ItemRow> &selected) const
{
    const DataSet &data = window_->data();
    const AppState &state = window_->state();
    const ChartView &chart = window_->chart();
    if (data.Files_Open == 0)
        return chart.isVisible() && chart.seriesCount() > 0 ? QStringLiteral("the chart shows series with no file")
                                                            : QString();
    if (!chart.isVisible())
        return QStringLiteral("the chart is hidden with %1 file(s) loaded").arg(data.Files_Open);
    // (At most one derived curve is on: the chart options hold one.)
    const kavra::ChartOptions &options = state.chart;
    const bool averageOn = options.shows(kavra::DerivedCurve::MovingAverage);
    const bool smoothedOn = options.shows(kavra::DerivedCurve::Smoothed);
    const bool candleOn = options.shows(kavra::DerivedCurve::Candle);
    const bool ratioOn = options.ratioMode();

    static const QRegularExpression itemName(QStringLiteral("^(.*)\\(# (\\d+)\\)$"));
    static const QRegularExpression averageName(QStringLiteral("^(.*)\\(MovAvgPer= ?-?\\d+\\)$"));
    std::vector<ItemSeries> items;
    QStringList names;
    int averages = 0, smoothed = 0, candles = 0, ratios = 0;
    for (int s = 0; s < chart.seriesCount(); ++s)
        names << chart.seriesStyle(s).name;
    for (int s = 0; s < chart.seriesCount(); ++s) {
        const QString name = names[s];
        const auto average = averageName.match(name);
        const auto item = itemName.match(name);
        if (name == kSmoothed)
            ++smoothed;
        else if (name == kCandle)
            ++candles;
        else if (name.startsWith(QLatin1String("Ratio : ")))
            ++ratios;
        else if (average.hasMatch() && names.contains(average.captured(1)))
            ++averages;
        else if (item.hasMatch())
            items.push_back({s, item.captured(1), item.captured(2).toInt()});
        else
            return QStringLiteral("series %1 \"%2\" is called for by nothing").arg(s).arg(name);
    }
    if ((averages && !averageOn) || (smoothed && !smoothedOn) || (candles && !candleOn) || (ratios && !ratioOn))
        return QStringLiteral("derived series without their option: ") + names.join(QStringLiteral(" | "));
    const int n = int(items.size());
    if (!ratioOn && averageOn && n >= 1 && n <= 4 && averages != n)
        return QStringLiteral("%1 item series but %2 moving averages").arg(n).arg(averages);
    if (!ratioOn && n == 1 && ((smoothedOn && smoothed != 1) || (candleOn && candles != 1)))
        return QStringLiteral("the smoothed curve or candles are missing: ") + names.join(QStringLiteral(" | "));

    // Each file charts a prefix of the selection, files in order, the first file
    // up to 16 series; the items are the first series (the third and fourth with
    // ratio charts).
    const int firstItem = ratioOn ? 2 : 0;
    int file = 0, j = 0;
    for (int k = 0; k < n; ++k) {
        const ItemSeries &s = items[size_t(k)];
        if (s.series != firstItem + k)
            return QStringLiteral("item series %1 \"%2\" is out of place").arg(s.series).arg(names[s.series]);
        if (s.file != file) {
            if (s.file < file || s.file > data.Files_Open)
                return QStringLiteral("series \"%1\" is of file %2 after file %3 (%4 open)")
                    .arg(names[s.series])
                    .arg(s.file)
                    .arg(file)
                    .arg(data.Files_Open);
            file = s.file, j = 0;
        }
        if (j >= int(selected.size()) || QString::fromLocal8Bit(selected[size_t(j)].text).left(120) != s.text)
            return QStringLiteral("series %1 \"%2\" is not selected item %3 of the list (%4 selected)")
                .arg(s.series)
                .arg(names[s.series])
                .arg(j + 1)
                .arg(selected.size());
        if (const QString wrong = seriesHoldsTheItem(chart, s, selected[size_t(j)].tag, data, state); !wrong.isEmpty())
            return wrong;
        ++j;
    }
    // Every file charts the same first items, as many as 16 series leave room for.
    const int perFile = std::min<int>(int(selected.size()), std::max(1, 16 / int(data.Files_Open)));
    for (int f = 1; f <= data.Files_Open && !ratioOn; ++f) {
        const int ofFile =
            int(std::count_if(items.begin(), items.end(), [f](const ItemSeries &s) { return s.file == f; }));
        if (ofFile != perFile)
            return QStringLiteral("%1 of %2 selected item(s) charted for file %3, %4 for every file expected")
                .arg(ofFile)
                .arg(selected.size())
                .arg(f)
                .arg(perFile);
    }
    if (!selected.empty() && n == 0)
        return QStringLiteral("%1 item(s) selected, none charted").arg(selected.size());
    return {};
}

QString Exerciser::windowsShowLiveData()
{
    const DataSet &data = window_->data();
    // Rows that following adds are no new load; a file opened again is.
    const QAction *follow = window_->findChild<QAction *>(QStringLiteral("mnuFollowGrowingFiles"));
    const bool following = follow && follow->isChecked();
    const std::string loaded = data.Files_Open > 0 ? data.File_Names[0] : std::string();
    const bool reloaded = loaded == loadedFirstFile_ && !loaded.empty() && !following && data.Row_Count != loadedRows_;
    if (loaded != loadedFirstFile_ || reloaded) {
        if (!loadedFirstFile_.empty())
            ++load_;
        loadedFirstFile_ = loaded;
    }
    loadedRows_ = data.Row_Count;
    for (const char *name : {"frmKavra2", "frmKavra5", "frmKavra6"}) {
        const QString windowName = QString::fromLatin1(name);
        QWidget *w = window_->findChild<QWidget *>(windowName);
        bool showsData = w && w->isVisible();
        if (auto *properties = qobject_cast<PropertiesWindow *>(w))
            showsData = showsData && !properties->text().isEmpty();
        if (!showsData) {
            shownWithLoad_.erase(windowName);
            continue;
        }
        if (data.Files_Open == 0 && windowName != QLatin1String("frmKavra6"))
            return windowName + QStringLiteral(" is open with no file loaded");
        const auto [at, added] = shownWithLoad_.emplace(windowName, load_);
        if (!added && at->second != load_)
            return windowName + QStringLiteral(" still shows the data of files closed since");
    }
    return {};
}

namespace {
// The first lines of a file, for a report on why it does not load.
QString fileStart(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("(cannot be read)");
    QString start;
    for (int line = 0; line < 6 && !file.atEnd(); ++line)
        start += QStringLiteral("    ") + QString::fromLocal8Bit(file.readLine(200)).trimmed() + QLatin1Char('\n');
    return start;
}
} // namespace

QString Exerciser::savedFilesLoadAgain() const
{
    const DataSet &data = window_->data();
    const AppState &state = window_->state();
    const ItemRevision &list = window_->items().current();
    for (const Written &written : ui_->written) {
        const QString path = writtenPath(written);
        if (!written.filter.contains(QLatin1String("*.CSV")) || path.isEmpty())
            continue;
        const bool failed = ui_->messageAfter(written);
        if (!QFileInfo::exists(path))
            return failed ? QString() : QStringLiteral("Save as ... wrote no file and said nothing");
        if (failed || list.rows.empty())
            continue;
        DataSet again;
        ItemList againItems;
        LoadObserver quiet;
        LoadOptions options;
        options.edition = kavra::kEdition;
        const LoadOutcome outcome =
            ItemLoader(again, againItems, quiet, options).load(QFile::encodeName(path).toStdString());
        if (!outcome.loaded)
            return QStringLiteral("the saved file does not load: %1 (%2 rows of %3 shown, %4 items); it begins:\n%5")
                .arg(QString::fromStdString(loadMessage(outcome.failure).text))
                .arg(state.rows.Zoom_Last_Row - state.rows.Zoom_First_Row + 1)
                .arg(data.Row_Count)
                .arg(list.rows.size())
                .arg(fileStart(path));
        const ItemRevision &loaded = againItems.revision(0);
        const int rows = state.rows.Zoom_Last_Row - state.rows.Zoom_First_Row + 1;
        if (loaded.rows.size() != list.rows.size() || again.Row_Count != rows)
            return QStringLiteral("the saved file loads %1 items x %2 rows; saved were %3 x %4")
                .arg(loaded.rows.size())
                .arg(again.Row_Count)
                .arg(list.rows.size())
                .arg(rows);
        std::vector<bool> used(loaded.rows.size(), false);
        const std::vector<SavedItem> names = savedItems(list, data);  // the names without a median's prefix
        for (size_t i = 0; i < list.rows.size(); ++i) {
            const std::string name = text::decoded(names[i].name);
            size_t k = 0;
            while (k < loaded.rows.size() && (used[k] || loaded.rows[k].text != name))
                ++k;
            if (k == loaded.rows.size())
                return QStringLiteral("saved item %1 \"%2\" is not in the file loaded again")
                    .arg(i + 1)
                    .arg(QString::fromLocal8Bit(list.rows[i].text));
            used[k] = true;
            // Whole columns: a single value decodes its block, too slow for every row.
            const kavra::PerfData::Values savedColumn = data.Perf_Data.values(list.rows[i].tag, 1);
            const kavra::PerfData::Values backColumn = again.Perf_Data.values(loaded.rows[k].tag, 1);
            for (int r = 1; r <= rows; ++r) {
                const double saved = (*savedColumn)[size_t(state.rows.Zoom_First_Row + r - 2)];
                const double back = (*backColumn)[size_t(r - 1)];
                if (!closeValue(saved, back))
                    return QStringLiteral("item \"%1\" row %2: saved %3, loads as %4")
                        .arg(QString::fromLocal8Bit(list.rows[i].text))
                        .arg(r)
                        .arg(saved, 0, 'g', 17)
                        .arg(back, 0, 'g', 17);
            }
        }
        for (int r = 1; r <= rows; ++r)
            if (std::fabs(again.sampleTime(r) - data.sampleTime(state.rows.Zoom_First_Row + r - 1)) > 1.0 / 86400)
                return QStringLiteral("row %1 of the saved file has another sample time").arg(r);
    }
    return {};
}

QString Exerciser::writtenFilesAreWhole() const
{
    for (const Written &record : ui_->written)
        checked_["\"replace it?\" answered No"] += record.declined;
    for (const Written &record : ui_->written)
        ++checked_[(ui_->messageAfter(record) ? "failed write" : "write") +
                   (record.fault.isEmpty() ? std::string() : ", " + record.fault.section(QLatin1Char(' '), 0, 2).toStdString())];
    if (const QString wrong = writesFailSafely(ui_->written, ui_->messages.size()); !wrong.isEmpty())
        return wrong;
    static const QStringList kNames = {QStringLiteral("saved"), QStringLiteral("chart"),  QStringLiteral("list"),
                                       QStringLiteral("link"),  QStringLiteral("target"), QStringLiteral("printed"),
                                       QStringLiteral("preview"), QStringLiteral("folder")};
    for (const QString &folder : ui_->faults().folders())
        for (const QFileInfo &entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
            const QString name = entry.fileName();
            if (entry.size() == 0)
                return QStringLiteral("an empty file was left: ") + name;
            if (std::none_of(kNames.begin(), kNames.end(), [&](const QString &n) { return name.startsWith(n); }))
                return QStringLiteral("a file was left behind: ") + name;
            if (name.contains(QLatin1Char('~')) || name.count(QLatin1Char('.')) > 1)
                return QStringLiteral("a temporary file was left behind: ") + name;
        }
    return {};
}

// A FIFO chosen in the open dialog is refused with a message (a step that
// blocks on it is caught as a hang), and a load of the file that grows and is
// cut between steps holds its complete records (and its last one when only the
// terminator is missing), never a row made of a fragment.
QString Exerciser::oddFilesAreTold() const
{
    checked_["FIFO opened"] += ui_->pipeChosen;
    if (ui_->pipeChosen && ui_->messages.empty())
        return QStringLiteral("opening a FIFO said nothing");
    const DataSet &data = window_->data();
    if (data.Files_Open == 0 || liveStale_ ||
        QFile::decodeName(QByteArray::fromStdString(data.File_Names[0])) != pool_.live.path)
        return {};
    const auto [low, high] = pool_.live.rows();
    ++checked_["live file rows"];
    if (data.Row_Count < low || data.Row_Count > high)
        return QStringLiteral("%1 of %2 bytes loads %3 rows; it holds %4 complete records%5")
            .arg(QFileInfo(pool_.live.path).fileName())
            .arg(pool_.live.length)
            .arg(data.Row_Count)
            .arg(low)
            .arg(high > low ? QStringLiteral(" and a last one without its terminator") : QString());
    return {};
}
