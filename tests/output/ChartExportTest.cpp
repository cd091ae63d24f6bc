// The chart as picture files, each read back by a program of its own format:
// ImageMagick's identify for bitmaps, poppler for PDF, an XML reader for SVG,
// libwmf for WMF and libemf2svg for EMF.

#include "output/ChartExport.h"
#include "output/OutputTestSupport.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

#include <unistd.h>

using kavra::exportChart;
using kavra::formatForPath;
using kavra::ImageFormat;
using namespace outputtest;

namespace {

QString pathIn(const TempDir &dir, const char *name)
{
    return QString::fromStdString(dir.file(name));
}

// ImageMagick's name and size of a bitmap, as "PNG 800 500".
ToolRun identify(const QString &path)
{
    return runTool(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%m %w %h"), path});
}

}  // namespace

TEST(ChartExport, FormatFollowsTheExtensionInAnyCase)
{
    const std::pair<const char *, ImageFormat> known[] = {
        {"a.bmp", ImageFormat::Bmp}, {"a.JPG", ImageFormat::Jpeg},  {"a.jpeg", ImageFormat::Jpeg},
        {"a.Wmf", ImageFormat::Wmf}, {"a.emf", ImageFormat::Emf},   {"a.GIF", ImageFormat::Gif},
        {"a.png", ImageFormat::Png}, {"a.pcx", ImageFormat::Pcx},   {"/x.y/a.EPS", ImageFormat::Eps},
        {"a.pdf", ImageFormat::Pdf}, {"a.b.svg", ImageFormat::Svg},
    };
    for (const auto &[path, format] : known)
        EXPECT_EQ(formatForPath(QString::fromLatin1(path)), format) << path;
    for (const char *path : {"a", "a.txt", "a.png.bak", "a.svg/chart", "png", "a.jpe", ""})
        EXPECT_FALSE(formatForPath(QString::fromLatin1(path))) << path;
}

TEST(ChartExport, BitmapsAreTheirFormatAtTheChartsOrTheGivenSize)
{
    auto chart = makeChart();
    TempDir dir;
    const struct {
        const char *name;
        ImageFormat format;
        const char *magic;
        const char *identified;
    } bitmaps[] = {
        {"chart.bmp", ImageFormat::Bmp, "BM", "BMP"},      {"chart.jpg", ImageFormat::Jpeg, "\xFF\xD8\xFF", "JPEG"},
        {"chart.png", ImageFormat::Png, "\x89PNG", "PNG"}, {"chart.gif", ImageFormat::Gif, "GIF8", "GIF"},
        {"chart.pcx", ImageFormat::Pcx, "\x0A", "PCX"},
    };
    for (const auto &bitmap : bitmaps) {
        SCOPED_TRACE(bitmap.name);
        const QString path = pathIn(dir, bitmap.name);
        ASSERT_EQ(exportChart(*chart, path, bitmap.format), QString());
        EXPECT_TRUE(readFile(path).startsWith(bitmap.magic));
        const ToolRun run = identify(path);
        if (!run.found)
            continue;  // the signature was checked; identify's verdict is skipped below
        ASSERT_EQ(run.status, 0) << run.errors.toStdString();
        const QStringList fields = QString::fromLatin1(run.output).split(QLatin1Char(' '));
        ASSERT_EQ(fields.size(), 3) << run.output.toStdString();
        EXPECT_TRUE(fields[0].startsWith(QLatin1String(bitmap.identified))) << run.output.toStdString();  // BMP or BMP3
        EXPECT_EQ(fields[1] + QLatin1Char('x') + fields[2], QStringLiteral("800x500"));
    }
    // The given size wins over the chart's.
    const QString gif = pathIn(dir, "small.gif");
    ASSERT_EQ(exportChart(*chart, gif, ImageFormat::Gif, 320, 200), QString());
    const ToolRun run = identify(gif);
    SKIP_WITHOUT(run, "ImageMagick's identify");
    EXPECT_EQ(run.output, QByteArray("GIF 320 200"));
}

TEST(ChartExport, PicturesAreWhiteBehindWhileTheChartKeepsItsPanelColour)
{
    auto chart = makeChart();
    const QColor panel(200, 220, 255);
    chart->setPanelColour(panel);
    TempDir dir;
    const QString png = pathIn(dir, "chart.png"), svg = pathIn(dir, "chart.svg");
    ASSERT_EQ(exportChart(*chart, png, ImageFormat::Png), QString());
    ASSERT_EQ(exportChart(*chart, svg, ImageFormat::Svg), QString());
    EXPECT_EQ(chart->panelColour(), panel);
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_FALSE(readFile(svg).contains("#c8dcff"));
    // ... and the chart on screen is painted with it again.
    EXPECT_EQ(chart->grab().toImage().pixelColor(2, 2), panel);
}

TEST(ChartExport, PdfIsAVectorPageWithTheTitleAsText)
{
    auto chart = makeChart();
    TempDir dir;
    const QString pdf = pathIn(dir, "chart.pdf");
    ASSERT_EQ(exportChart(*chart, pdf, ImageFormat::Pdf), QString());
    EXPECT_TRUE(readFile(pdf).startsWith("%PDF-"));
    const ToolRun info = runTool(QStringLiteral("pdfinfo"), {pdf});
    SKIP_WITHOUT(info, "pdfinfo (poppler-utils)");
    ASSERT_EQ(info.status, 0) << info.errors.toStdString();
    // 800 x 500 pixels at 96 per inch are 600 x 375 points.
    EXPECT_TRUE(info.output.contains("Page size:       600 x 375 pts")) << info.output.toStdString();
    EXPECT_TRUE(info.output.contains(kTitle.toUtf8()));  // the document's title
    const ToolRun text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.output.contains(kTitle.toUtf8())) << text.output.toStdString();
    EXPECT_TRUE(text.output.contains("Busy"));  // the legend
    const ToolRun images = runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    EXPECT_EQ(images.output.count('\n'), 2) << images.output.toStdString();  // the heading only: no bitmaps
}

TEST(ChartExport, SvgIsWellFormedWithTheTitleAsText)
{
    auto chart = makeChart();
    TempDir dir;
    const QString svg = pathIn(dir, "chart.svg");
    ASSERT_EQ(exportChart(*chart, svg, ImageFormat::Svg, 640, 400), QString());
    const QByteArray bytes = readFile(svg);
    bool wellFormed = false;
    const QString texts = xmlText(bytes, QStringLiteral("text"), &wellFormed);
    ASSERT_TRUE(wellFormed);
    EXPECT_TRUE(texts.contains(kTitle)) << texts.toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Busy")));
    EXPECT_TRUE(bytes.contains("viewBox=\"0 0 640 400\""));
    EXPECT_FALSE(bytes.contains("<image"));
}

TEST(ChartExport, EpsIsEncapsulatedPostScriptWithItsBoundingBox)
{
    auto chart = makeChart();
    TempDir dir;
    const QString eps = pathIn(dir, "chart.EPS");
    ASSERT_EQ(exportChart(*chart, eps, ImageFormat::Eps), QString());
    const QByteArray bytes = readFile(eps);
    EXPECT_TRUE(bytes.startsWith("%!PS-Adobe-3.0 EPSF-3.0\n")) << bytes.left(40).toStdString();
    EXPECT_TRUE(bytes.contains("\n%%BoundingBox: 0 0 600 375\n"));
    EXPECT_TRUE(bytes.contains("%%EOF"));
    EXPECT_FALSE(bytes.contains("\n%%Page: 2"));  // one picture, not a document
}

TEST(ChartExport, WmfIsAPlaceableMetafileThatLibwmfReads)
{
    auto chart = makeChart();
    TempDir dir;
    const QString wmf = pathIn(dir, "chart.wmf");
    ASSERT_EQ(exportChart(*chart, wmf, ImageFormat::Wmf), QString());
    const QByteArray bytes = readFile(wmf);
    ASSERT_GT(bytes.size(), 40);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData()), 0x9AC6CDD7u);
    EXPECT_TRUE(bytes.endsWith(QByteArray("\x03\x00\x00\x00\x00\x00", 6)));  // EOF record
    const QString svg = pathIn(dir, "wmf.svg");
    const ToolRun run = runTool(QStringLiteral("wmf2svg"), {QStringLiteral("-o"), svg, wmf});
    SKIP_WITHOUT(run, "wmf2svg (libwmf-bin)");
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    bool wellFormed = false;
    const QString texts = xmlText(readFile(svg), QStringLiteral("text"), &wellFormed);
    ASSERT_TRUE(wellFormed);
    EXPECT_TRUE(texts.contains(kTitle)) << texts.toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Busy")));
    EXPECT_GT(readFile(svg).count("<polyline"), 5);  // axes, ticks, grid and the series as lines
}

TEST(ChartExport, EmfIsAnEnhancedMetafileThatLibemf2svgReads)
{
    auto chart = makeChart();
    TempDir dir;
    const QString emf = pathIn(dir, "chart.emf");
    ASSERT_EQ(exportChart(*chart, emf, ImageFormat::Emf), QString());
    const QByteArray bytes = readFile(emf);
    ASSERT_GT(bytes.size(), 108);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData()), 1u);  // EMR_HEADER
    EXPECT_EQ(bytes.mid(40, 4), QByteArray(" EMF"));               // its signature
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 48), quint32(bytes.size()));
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + bytes.size() - 20), 14u);  // EMR_EOF
    const QByteArray utf16(reinterpret_cast<const char *>(kTitle.utf16()), kTitle.size() * 2);
    EXPECT_TRUE(bytes.contains(utf16));  // the title as text
    const QString svg = pathIn(dir, "emf.svg");
    const ToolRun run = runTool(QStringLiteral("emf2svg-conv"), {QStringLiteral("-i"), emf, QStringLiteral("-o"), svg});
    SKIP_WITHOUT(run, "emf2svg-conv (emf2svg)");
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    bool wellFormed = false;
    const QString texts = xmlText(readFile(svg), QStringLiteral("text"), &wellFormed);
    ASSERT_TRUE(wellFormed);
    EXPECT_TRUE(texts.contains(kTitle)) << texts.toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Busy")));
}

TEST(ChartExport, AFailedExportLeavesWhatWasThere)
{
    auto chart = makeChart();
    TempDir dir;
    // A folder that does not exist.
    const QString missing = pathIn(dir, "no-such-folder/chart.png");
    const QString error = exportChart(*chart, missing, ImageFormat::Png);
    EXPECT_TRUE(error.contains(QStringLiteral("no-such-folder"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
    // A folder in the place of the file.
    const QString folder = pathIn(dir, "folder.svg");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(exportChart(*chart, folder, ImageFormat::Svg).isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    // Pictures wider than their format allows fail after the file was begun:
    // the existing file stays as it was and no temporary file is left behind.
    for (const auto &[name, format] :
         {std::pair{"wide.jpg", ImageFormat::Jpeg}, std::pair{"wide.gif", ImageFormat::Gif}}) {
        SCOPED_TRACE(name);
        const QString target = pathIn(dir, name);
        writeFile(target, "the picture before");
        EXPECT_FALSE(exportChart(*chart, target, format, 70000, 40).isEmpty());
        EXPECT_EQ(readFile(target), QByteArray("the picture before"));
    }
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files).size(), 2);
    // A folder that cannot be written (root writes anywhere).
    if (::geteuid() != 0) {
        const QString locked = pathIn(dir, "locked");
        ASSERT_TRUE(QDir().mkdir(locked));
        const QString target = locked + QStringLiteral("/chart.pdf");
        writeFile(target, "the picture before");
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_FALSE(exportChart(*chart, target, ImageFormat::Pdf).isEmpty());
        EXPECT_EQ(readFile(target), QByteArray("the picture before"));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // A successful export replaces the file.
    const QString target = pathIn(dir, "wide.jpg");
    ASSERT_EQ(exportChart(*chart, target, ImageFormat::Jpeg), QString());
    EXPECT_TRUE(readFile(target).startsWith("\xFF\xD8\xFF"));
}
