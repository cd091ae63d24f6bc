// Vector pictures: what the recorder keeps of a painter's drawing, and the two
// metafile writers' records, walked as a reader would walk them.

#include "output/OutputTestSupport.h"
#include "output/PictureWriters.h"
#include "output/VectorRecorder.h"
#include "output/WmfWriter.h"
#include "support/TempDir.h"

#include <QPainter>
#include <QtEndian>
#include <gtest/gtest.h>

#include <map>
#include <set>

using kavra::VectorPenStyle;
using kavra::VectorPicture;
using kavra::VectorRecorder;
using kavra::VectorShape;
using Kind = kavra::VectorShape::Kind;

namespace {

// A picture with one of each kind of shape, drawn by a painter.
VectorPicture paintedPicture()
{
    VectorRecorder recorder(200, 100);
    QPainter painter(&recorder);
    painter.setPen(QPen(Qt::red, 2));
    painter.drawLine(QPointF(10, 10), QPointF(50, 10));
    painter.setPen(QPen(Qt::blue, 1, Qt::DotLine));
    painter.drawPolyline(QPolygonF({{0, 0}, {10, 20}, {20, 0}}));
    painter.setPen(Qt::black);
    painter.setBrush(QColor(0, 128, 0));
    painter.drawRect(QRectF(20, 30, 40, 20));
    painter.drawEllipse(QRectF(100, 10, 30, 30));
    painter.drawPolygon(QPolygonF({{150, 10}, {190, 10}, {170, 40}}));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 255));
    painter.drawText(QPointF(30, 80), QStringLiteral("Hello"));
    painter.translate(180, 90);
    painter.rotate(-90);  // upwards, as value axis titles go
    painter.drawText(QPointF(0, 0), QStringLiteral("Up"));
    painter.end();
    return recorder.picture();
}

const VectorShape *find(const VectorPicture &picture, Kind kind, size_t nth = 0)
{
    for (const VectorShape &shape : picture.shapes)
        if (shape.kind == kind && nth-- == 0)
            return &shape;
    return nullptr;
}

quint16 word(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}
quint32 dword(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

struct WmfRecord {
    quint16 function;
    QList<quint16> parameters;
};

// The records of a placeable metafile, checked on the way: the header's
// checksum, sizes and object count, and the chain of record sizes.
QList<WmfRecord> wmfRecords(const QByteArray &bytes)
{
    QList<WmfRecord> records;
    EXPECT_EQ(dword(bytes, 0), 0x9AC6CDD7u);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= word(bytes, i * 2);
    EXPECT_EQ(word(bytes, 20), checksum);
    const qsizetype header = 22;
    EXPECT_EQ(word(bytes, header), 1);      // in memory
    EXPECT_EQ(word(bytes, header + 2), 9);  // header words
    EXPECT_EQ(word(bytes, header + 4), 0x0300);
    EXPECT_EQ(qsizetype(dword(bytes, header + 6)) * 2, bytes.size() - header);
    const quint16 objects = word(bytes, header + 10);
    quint32 largest = 0;
    std::set<quint16> created;
    for (qsizetype at = header + 18; at < bytes.size();) {
        const quint32 size = dword(bytes, at);
        if (size < 3 || at + qsizetype(size) * 2 > bytes.size()) {
            ADD_FAILURE() << "record at " << at << " of " << size << " words overruns the file";
            break;
        }
        WmfRecord record{word(bytes, at + 4), {}};
        for (quint32 i = 3; i < size; ++i)
            record.parameters.append(word(bytes, at + qsizetype(i) * 2));
        if (record.function == 0x012D || record.function == 0x01F0) {  // select, delete
            EXPECT_LT(record.parameters.value(0), objects);
        }
        largest = std::max(largest, size);
        records.append(record);
        at += qsizetype(size) * 2;
    }
    EXPECT_EQ(dword(bytes, header + 12), largest);
    EXPECT_FALSE(records.isEmpty() || records.last().function != 0) << "no EOF record at the end";
    return records;
}

}  // namespace

TEST(VectorRecorder, KeepsShapesWithTheirPensBrushesAndText)
{
    const VectorPicture picture = paintedPicture();
    EXPECT_EQ(picture.width, 200);
    const VectorShape *line = find(picture, Kind::Polyline);
    ASSERT_TRUE(line);
    ASSERT_EQ(line->points.size(), 2u);
    EXPECT_EQ(line->points[1].x, 50);
    EXPECT_EQ(line->pen.width, 2);
    EXPECT_EQ(line->pen.colour, (kavra::VectorColour{255, 0, 0}));
    const VectorShape *dotted = find(picture, Kind::Polyline, 1);
    ASSERT_TRUE(dotted);
    EXPECT_EQ(dotted->points.size(), 3u);
    EXPECT_EQ(dotted->pen.style, VectorPenStyle::Dot);
    const VectorShape *rect = find(picture, Kind::Rectangle);
    ASSERT_TRUE(rect);
    EXPECT_EQ(rect->points[0].x, 20);
    EXPECT_EQ(rect->points[1].y, 50);
    EXPECT_TRUE(rect->brush.solid);
    EXPECT_EQ(rect->brush.colour, (kavra::VectorColour{0, 128, 0}));
    EXPECT_TRUE(find(picture, Kind::Ellipse));
    const VectorShape *triangle = find(picture, Kind::Polygon);
    ASSERT_TRUE(triangle);
    EXPECT_EQ(triangle->points.size(), 3u);

    std::u16string text;
    for (const VectorShape &shape : picture.shapes)
        if (shape.kind == Kind::Text)
            text += shape.text;
    EXPECT_EQ(text, u"HelloUp");
    const VectorShape *hello = find(picture, Kind::Text);
    ASSERT_TRUE(hello);
    EXPECT_EQ(hello->points[0].x, 30);
    EXPECT_EQ(hello->points[0].y, 80);             // the baseline
    EXPECT_NEAR(hello->font.pixelSize, 16, 0.01);  // 12 points at 96 dots per inch
    EXPECT_TRUE(hello->font.bold);
    EXPECT_EQ(hello->textColour, (kavra::VectorColour{0, 0, 255}));
    EXPECT_EQ(hello->angle, 0);
    const VectorShape *up = find(picture, Kind::Text, 1);
    ASSERT_TRUE(up);
    EXPECT_NEAR(up->angle, 90, 1e-9);
    EXPECT_NEAR(up->points[0].x, 180, 1e-9);
}

TEST(VectorRecorder, MapsThroughThePaintersTransformAndJoinsSegments)
{
    VectorRecorder recorder(100, 100);
    QPainter painter(&recorder);
    painter.setWindow(0, 0, 50, 50);  // everything twice as large
    painter.setPen(QPen(Qt::black, 1.5));
    // Segments that meet make one line; a gap starts another.
    const QLineF segments[] = {{0, 0, 10, 0}, {10, 0, 10, 10}, {20, 20, 30, 20}};
    painter.drawLines(segments, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(1, 1, 5, 5));  // invisible: not kept
    painter.setBrush(Qt::yellow);
    painter.translate(5, 5);
    painter.drawRect(QRectF(0, 0, 10, 5));
    painter.end();
    const VectorPicture &picture = recorder.picture();
    ASSERT_EQ(picture.shapes.size(), 3u);
    EXPECT_EQ(picture.shapes[0].points.size(), 3u);
    EXPECT_EQ(picture.shapes[0].points[2].y, 20);
    EXPECT_EQ(picture.shapes[0].pen.width, 3);
    EXPECT_EQ(picture.shapes[1].points[0].x, 40);
    const VectorShape &rect = picture.shapes[2];
    EXPECT_EQ(rect.kind, Kind::Rectangle);
    EXPECT_EQ(rect.pen.style, VectorPenStyle::None);
    EXPECT_EQ(rect.points[0].x, 10);
    EXPECT_EQ(rect.points[1].x, 30);
    EXPECT_EQ(rect.points[1].y, 20);
}

TEST(WmfWriter, WritesAPlaceableHeaderAndConsistentRecords)
{
    VectorPicture picture = paintedPicture();
    // A line too long for one record goes in pieces that meet.
    VectorShape longLine;
    for (int i = 0; i < 40000; ++i)
        longLine.points.push_back({i / 200.0, double(i % 100)});
    picture.shapes.push_back(longLine);
    const QByteArray bytes = QByteArray::fromStdString(kavra::wmfBytes(picture));
    // The bounding box: quarter pixels, 4 x 96 of them an inch.
    EXPECT_EQ(word(bytes, 10), 800);
    EXPECT_EQ(word(bytes, 12), 400);
    EXPECT_EQ(word(bytes, 14), 384);
    const QList<WmfRecord> records = wmfRecords(bytes);

    std::map<quint16, int> counts;
    QByteArray text;
    QList<int> polylinePoints;
    for (const WmfRecord &record : records) {
        ++counts[record.function];
        if (record.function == 0x0521) {  // TEXTOUT: length, string, y, x
            for (qsizetype i = 0; i < record.parameters[0]; ++i)
                text += char(record.parameters[1 + i / 2] >> (i % 2 * 8));
        }
        if (record.function == 0x0325)
            polylinePoints.append(record.parameters[0]);
        if (record.function == 0x041B) {  // RECTANGLE: bottom, right, top, left
            EXPECT_EQ(record.parameters, QList<quint16>({200, 240, 120, 80}));
        }
    }
    EXPECT_EQ(text, QByteArray("HelloUp"));
    for (quint16 function : {0x02FA, 0x02FC, 0x02FB, 0x012D, 0x01F0, 0x0209, 0x0102, 0x0324, 0x0418, 0x041B})
        EXPECT_GT(counts[function], 0) << std::hex << function;
    EXPECT_EQ(polylinePoints, QList<int>({2, 3, 32000, 8001}));
    // The rotated font: escapement of 90 degrees in tenths.
    bool rotated = false;
    for (const WmfRecord &record : records)
        rotated |= record.function == 0x02FB && record.parameters[2] == 900;
    EXPECT_TRUE(rotated);
}

TEST(WmfWriter, LibwmfDrawsTheText)
{
    TempDir dir;
    const QString wmf = QString::fromStdString(dir.write("shapes.wmf", kavra::wmfBytes(paintedPicture())));
    const QString svg = QString::fromStdString(dir.file("shapes.svg"));
    const outputtest::ToolRun run = outputtest::runTool(QStringLiteral("wmf2svg"), {QStringLiteral("-o"), svg, wmf});
    SKIP_WITHOUT(run, "wmf2svg (libwmf-bin)");
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    const QByteArray drawing = outputtest::readFile(svg);
    EXPECT_TRUE(outputtest::xmlText(drawing, QStringLiteral("text")).contains(QStringLiteral("Hello")));
    EXPECT_TRUE(drawing.contains("<ellipse"));
}

TEST(EmfWriter, WritesHeaderDrawingRecordsAndUnicodeText)
{
    VectorPicture picture = paintedPicture();
    VectorShape accented;
    accented.kind = Kind::Text;
    accented.points = {{5, 5}};
    accented.text = u"Pr\u00FCfung \u2264 5";
    picture.shapes.push_back(accented);
    std::string error;
    const QByteArray bytes = QByteArray::fromStdString(kavra::emfPicture(picture, error));
    ASSERT_EQ(error, std::string());
    ASSERT_GT(bytes.size(), 108);
    EXPECT_EQ(bytes.mid(40, 4), QByteArray(" EMF"));
    EXPECT_EQ(dword(bytes, 48), quint32(bytes.size()));
    std::map<quint32, int> counts;
    quint32 count = 0, last = 0;
    for (qsizetype at = 0; at + 8 <= bytes.size();) {
        const quint32 type = dword(bytes, at), size = dword(bytes, at + 4);
        ASSERT_TRUE(size >= 8 && size % 4 == 0 && at + qsizetype(size) <= bytes.size()) << "record at " << at;
        ++counts[type];
        ++count;
        last = type;
        at += size;
    }
    EXPECT_EQ(dword(bytes, 52), count);    // the header's record count
    EXPECT_EQ(last, 14u);                  // EMR_EOF
    EXPECT_GT(counts[38], 0);              // EMR_CREATEPEN
    EXPECT_GT(counts[39], 0);              // EMR_CREATEBRUSHINDIRECT
    EXPECT_GT(counts[82], 0);              // EMR_EXTCREATEFONTINDIRECTW
    EXPECT_EQ(counts[84], 3);              // EMR_EXTTEXTOUTW
    EXPECT_GT(counts[87] + counts[4], 0);  // EMR_POLYLINE16 or EMR_POLYLINE
    EXPECT_GT(counts[86] + counts[3], 0);  // EMR_POLYGON16 or EMR_POLYGON
    EXPECT_EQ(counts[43], 1);              // EMR_RECTANGLE
    EXPECT_EQ(counts[42], 1);              // EMR_ELLIPSE
    const std::u16string &unicode = picture.shapes.back().text;
    EXPECT_TRUE(
        bytes.contains(QByteArray(reinterpret_cast<const char *>(unicode.data()), qsizetype(unicode.size() * 2))));
}
