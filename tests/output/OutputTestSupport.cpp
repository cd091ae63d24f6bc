#include "output/OutputTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace outputtest {

std::unique_ptr<kavra::ChartView> makeChart()
{
    auto chart = std::make_unique<kavra::ChartView>();
    chart->resize(800, 500);
    chart->setTitleText(kavra::TitleLine::Header, kTitle);
    const int series = chart->addSeries(kavra::SeriesKind::Line);
    chart->setSeriesName(series, QStringLiteral("Busy"));
    chart->setSeriesColour(series, Qt::red);
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

}  // namespace outputtest
