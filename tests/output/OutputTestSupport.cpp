#include "output/OutputTestSupport.h"

#include "support/ChartAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace outputtest {

std::unique_ptr<kavra::ChartView> makeChart()
{
    auto chart = std::make_unique<kavra::ChartView>();
    chart->resize(800, 500);
    changeTitle(*chart, kavra::TitleLine::Header, [&](auto &look) { look.text = kTitle; });
    const int series = chart->addSeries(kavra::SeriesKind::Line);
    changeSeries(*chart, series, [&](auto &style) { style.name = QStringLiteral("Busy"); });
    changeSeries(*chart, series, [&](auto &style) { style.colour = Qt::red; });
    double x[12], y[12];
    for (int i = 0; i < 12; ++i) {
        x[i] = 46362.0 + i / 1440.0;
        y[i] = 10 + (i % 4) * 5;
    }
    chart->setSeriesPoints(series, x, y, 12);
    chart->draw();
    return chart;
}

ToolRun runTool(const QString &program, const QStringList &arguments)
{
    ToolRun run;
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return run;
    run.found = true;
    QProcess process;
    process.start(path, arguments);
    process.closeWriteChannel();
    process.waitForFinished(120000);  // a guard against a hung reader, not a timing check
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = process.readAllStandardOutput();
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

namespace {

// An SVG drawing at the given size.
ToolRun svgToPng(const QString &svg, const QSize &size, const QString &png)
{
    return runTool(QStringLiteral("rsvg-convert"),
                   {QStringLiteral("-w"), QString::number(size.width()), QStringLiteral("-h"),
                    QString::number(size.height()), QStringLiteral("-b"), QStringLiteral("white"), QStringLiteral("-o"),
                    png, svg});
}

ToolRun drawAsPng(const QString &picture, const QString &suffix, const QSize &size, const QString &png)
{
    const QString svg = picture + QStringLiteral(".raster.svg");
    if (suffix == QLatin1String("svg"))
        return svgToPng(picture, size, png);
    if (suffix == QLatin1String("wmf") || suffix == QLatin1String("emf")) {
        const ToolRun run =
            suffix == QLatin1String("wmf")
                ? runTool(QStringLiteral("wmf2svg"), {QStringLiteral("-o"), svg, picture})
                : runTool(QStringLiteral("emf2svg-conv"), {QStringLiteral("-i"), picture, QStringLiteral("-o"), svg});
        return run.found && run.status == 0 ? svgToPng(svg, size, png) : run;
    }
    if (suffix == QLatin1String("pdf"))
        return runTool(QStringLiteral("pdftoppm"),
                       {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-scale-to-x"),
                        QString::number(size.width()), QStringLiteral("-scale-to-y"), QString::number(size.height()),
                        picture, png.chopped(4)});
    if (suffix == QLatin1String("eps"))
        return runTool(QStringLiteral("gs"),
                       {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
                        QStringLiteral("-dNOPAUSE"), QStringLiteral("-dEPSCrop"), QStringLiteral("-sDEVICE=png16m"),
                        QStringLiteral("-r96"), QStringLiteral("-sOutputFile=") + png, picture});
    return runTool(QStringLiteral("convert"), {picture, QStringLiteral("png:") + png});
}

}  // namespace

QImage rasterised(const QString &picture, const QSize &size, ToolRun &run)
{
    const QString png = picture + QStringLiteral(".raster.png");
    QFile::remove(png);
    run = drawAsPng(picture, QFileInfo(picture).suffix().toLower(), size, png);
    if (!run.found || run.status != 0)
        return {};
    QImage image(png);
    if (image.isNull())
        return {};
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QString xmlText(const QByteArray &xml, const QString &element, bool *wellFormed)
{
    QXmlStreamReader reader(xml);
    QString text;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == element)
            text += reader.readElementText(QXmlStreamReader::IncludeChildElements) + QLatin1Char('\n');
    }
    if (wellFormed)
        *wellFormed = !reader.hasError();
    return reader.hasError() ? QString() : text;
}

// The plot area of a picture: between the left and the right value axis, the
// longest upright dark lines of each half, from their top to their bottom.
QRect plotArea(const QImage &image)
{
    // A vector picture drawn smoothly spreads a black one-pixel line over two
    // grey ones.
    const auto dark = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return c.red() < 150 && c.green() < 150 && c.blue() < 150;
    };
    struct Run {
        int x = -1, top = 0, length = 0;
    } best[2];
    for (int x = 0; x < image.width(); ++x) {
        Run &side = best[x < image.width() / 2 ? 0 : 1];
        for (int y = 0, start = 0; y <= image.height(); ++y) {
            if (y < image.height() && dark(x, y))
                continue;
            if (y - start > side.length)
                side = {x, start, y - start};
            start = y + 1;
        }
    }
    if (best[0].length < image.height() / 3 || best[1].length < image.height() / 3)
        return {};
    return QRect(QPoint(best[0].x, best[0].top), QPoint(best[1].x, best[0].top + best[0].length - 1));
}

}  // namespace outputtest
