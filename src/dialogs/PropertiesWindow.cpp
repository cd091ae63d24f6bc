#include "dialogs/PropertiesWindow.h"

#include "data/DataSet.h"
#include "data/NumberText.h"
#include "data/Text.h"
#include "ui/TwipsLayout.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <string>
#include <vector>

namespace kavra {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

QString number(double value) { return QString::fromStdString(signedNumberText(value)); }
QString qtext(const std::string &bytes) { return QString::fromLocal8Bit(bytes); }

// The fields of T that stand before its last comma outside parentheses. A running
// depth counts "(" up and ")" down; a comma splits only at depth 0. What follows
// the last splitting comma is not a field.
std::vector<std::string> fieldsBeforeLastComma(const std::string &t)
{
    std::vector<std::string> fields;
    std::string field;
    int depth = 0;
    for (const char c : t) {
        if (c == '(')
            ++depth;
        else if (c == ')')
            --depth;
        if (c == ',' && depth == 0) {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    return fields;
}

int toTwips(int pixels, double dpi) { return dpi > 0 ? int(std::lround(pixels * 1440.0 / dpi)) : pixels * 15; }

}  // namespace

QString propertiesReport(const DataSet &data, const QString &currentUser, QSize windowSize, QSize screenSize)
{
    QString report;
    for (int f = 1; f <= data.Files_Open && f <= kFileLimit; ++f) {
        const size_t n = static_cast<size_t>(f - 1);
        const std::string &node = data.Node_Names[n];
        report += QStringLiteral("File #") + number(f) + QStringLiteral(" : ") + kLineBreak;
        report += QStringLiteral("\tName : ") + qtext(data.File_Names[n]) + kLineBreak;
        report += QStringLiteral("\tNode : ") + qtext(node) + kLineBreak;
        // The node name only closes the last field of record 1; it is never listed.
        for (const std::string &field : fieldsBeforeLastComma(data.File_Header_Lines[n] + "," + node)) {
            const std::string_view trimmed = text::trimBlanks(field);
            if (text::upperCased(trimmed) != node)
                report += QLatin1Char('\t') + qtext(std::string(trimmed)) + kLineBreak;
        }
        report += kLineBreak + kLineBreak;
    }
    report += QStringLiteral("Form width      : ") + number(windowSize.width()) + kLineBreak;
    report += QStringLiteral("Form height     : ") + number(windowSize.height()) + kLineBreak + kLineBreak;
    report += QStringLiteral("Screen width   : ") + number(screenSize.width()) + kLineBreak;
    report += QStringLiteral("Screen height  : ") + number(screenSize.height()) + kLineBreak + kLineBreak;
    report += QStringLiteral("Column count  : ") + number(data.Column_Count) + kLineBreak;
    report += QStringLiteral("Row count      : ") + number(data.Row_Count) + kLineBreak + kLineBreak;
    report += QStringLiteral("Max Files        : ") + number(data.Max_Files) + kLineBreak + kLineBreak;
    report += QStringLiteral("Current User   : ") + currentUser + kLineBreak + kLineBreak;
    return report;
}

QSize pixelsToTwips(QSize pixels, double dpiX, double dpiY)
{
    return {toTwips(pixels.width(), dpiX), toTwips(pixels.height(), dpiY)};
}

QSize windowTwips(const QWidget &window)
{
    return pixelsToTwips(window.frameGeometry().size(), window.logicalDpiX(), window.logicalDpiY());
}

QSize screenTwips(const QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return pixelsToTwips(screen->geometry().size(), screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
}

PropertiesWindow::PropertiesWindow(QWidget *parent)
    : QDialog(parent), report_(new QPlainTextEdit(this)), ok_(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmKavra6"));
    setWindowTitle(QStringLiteral("Properties"));
    setModal(false);
    auto *twips = new TwipsLayout(this, {10230, 9225});

    report_->setObjectName(QStringLiteral("txtKavra61"));
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::NoWrap);
    report_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    report_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(9.75);
    report_->setFont(font);
    report_->setTabStopDistance(8 * report_->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    twips->place(report_, 120, 480, 9975, 7935);

    ok_->setObjectName(QStringLiteral("cmdKavra61"));
    ok_->setAutoDefault(false);
    twips->place(ok_, 4320, 8640, 1335, 375);
    connect(ok_, &QPushButton::clicked, this, &PropertiesWindow::cmdKavra61_Click);
}

void PropertiesWindow::show(const QString &report)
{
    text_ = report;
    // The text box breaks lines at LF; the report keeps its CR LF in text().
    report_->setPlainText(QString(report).replace(kLineBreak, QStringLiteral("\n")));
    QDialog::show();
    raise();
}

void PropertiesWindow::clear()
{
    text_.clear();
    report_->clear();
}

void PropertiesWindow::cmdKavra61_Click()
{
    hide();
    clear();
}

void PropertiesWindow::closeEvent(QCloseEvent *event)
{
    cmdKavra61_Click();
    event->accept();
}

// Escape closes the window as the close box does.
void PropertiesWindow::reject() { cmdKavra61_Click(); }

}  // namespace kavra
