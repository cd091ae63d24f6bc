#include "chart/ChartEditor.h"

#include "chart/ChartView.h"
#include "data/TimeStrings.h"
#include "ui/Interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QStringList>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kavra {

namespace {

constexpr TitleLine kLines[] = {TitleLine::Header, TitleLine::SubHeader, TitleLine::Footer, TitleLine::SubFooter};
constexpr ChartAxis kAxes[] = {ChartAxis::Left, ChartAxis::Right, ChartAxis::Bottom};
constexpr int kBottom = 2;

template <typename T>
T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QString numbered(const char *name, int i) { return QLatin1String(name) + QString::number(i); }

// Selects the entry whose data is value, none when there is no such entry.
void selectData(QComboBox *combo, int value) { combo->setCurrentIndex(combo->findData(value)); }

// Column headings above the rows of a tab, from column 1 on.
void addHeadings(QGridLayout *grid, const QStringList &headings)
{
    for (int c = 0; c < headings.size(); ++c)
        grid->addWidget(new QLabel(headings[c]), 0, c + 1);
}

}  // namespace

ChartEditor::ChartEditor(ChartView &chart, Interaction &ui, QWidget *parent, ChartOptions *options)
    : QDialog(parent), chart_(chart), options_(options), ui_(ui)
{
    setObjectName(QStringLiteral("frmChartEditor"));
    setWindowTitle(tr("Edit Chart Properties"));
    setModal(false);

    auto *tabs = named(new QTabWidget(this), QStringLiteral("tabChartEditor"));
    tabs->addTab(makeTitlesTab(), tr("Titles"));
    tabs->addTab(makeSeriesTab(), tr("Series"));
    tabs->addTab(makeAxesTab(), tr("Axes"));
    tabs->addTab(makeLegendTab(), tr("Legend"));
    tabs->addTab(makePanelTab(), tr("Panel"));

    auto *buttons = new QDialogButtonBox(this);
    auto *close = named(buttons->addButton(QDialogButtonBox::Close), QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    connect(&chart_, &ChartView::afterDraw, this, &ChartEditor::chartDrawn);
    connect(&chart_, &ChartView::zoomChanged, this, &ChartEditor::zoomChanged);
    reload();
}

void ChartEditor::showEvent(QShowEvent *event)
{
    reload();
    QDialog::showEvent(event);
}

// ---- Building the tabs -----------------------------------------------------

QWidget *ChartEditor::makeTitlesTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    addHeadings(grid, {tr("Text"), tr("Shown"), tr("Size"), tr("Bold"), tr("Colour")});
    const QString names[] = {tr("Title"), tr("Sub-title"), tr("Footer"), tr("Sub-footer")};
    for (int i = 0; i < 4; ++i) {
        const TitleLine line = kLines[i];
        TitleRow &row = titles_[i];
        row.text = named(new QLineEdit, numbered("txtTitleText", i));
        row.shown = named(new QCheckBox, numbered("chkTitleShown", i));
        row.size = named(new QSpinBox, numbered("spnTitleSize", i));
        row.size->setRange(6, 48);
        row.bold = named(new QCheckBox, numbered("chkTitleBold", i));
        row.colour = colourButton(
            numbered("cmdTitleColour", i), [this, line] { return chart_.title(line).colour; },
            [this, line](const QColor &colour) { changeTitle(line, [&](TitleLook &look) { look.colour = colour; }); });
        int column = 0;
        for (QWidget *widget : std::initializer_list<QWidget *>{new QLabel(names[i]), row.text, row.shown, row.size,
                                                                row.bold, row.colour})
            grid->addWidget(widget, i + 1, column++);
        connect(row.text, &QLineEdit::textChanged, this,
                [this, line](const QString &text) { apply([&] { changeTitle(line, [&](TitleLook &look) { look.text = text; }); }); });
        connect(row.shown, &QCheckBox::toggled, this,
                [this, line](bool on) {
                    apply([&] {
                        if (options_)
                            options_->showTitle(line, on);
                        changeTitle(line, [&](TitleLook &look) { look.shown = on; });
                    });
                });
        connect(row.size, &QSpinBox::valueChanged, this,
                [this, line](int points) { apply([&] { changeTitle(line, [&](TitleLook &look) { look.size = points; }); }); });
        connect(row.bold, &QCheckBox::toggled, this,
                [this, line](bool on) { apply([&] { changeTitle(line, [&](TitleLook &look) { look.bold = on; }); }); });
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    return page;
}

QWidget *ChartEditor::makeSeriesTab()
{
    auto *page = new QWidget;
    seriesList_ = named(new QListWidget, QStringLiteral("lstSeries"));
    seriesShown_ = named(new QCheckBox(tr("Shown")), QStringLiteral("chkSeriesShown"));
    seriesColour_ = colourButton(
        QStringLiteral("cmdSeriesColour"),
        [this] { return currentSeries() < 0 ? QColor() : chart_.seriesStyle(currentSeries()).colour; },
        [this](const QColor &colour) {
            if (currentSeries() >= 0)
                changeSeries([&](SeriesStyle &style) { style.colour = colour; });
        });
    seriesWidth_ = named(new QSpinBox, QStringLiteral("spnSeriesWidth"));
    seriesWidth_->setRange(1, 10);
    seriesStyle_ = named(new QComboBox, QStringLiteral("cboSeriesStyle"));
    const std::pair<QString, Qt::PenStyle> styles[] = {{tr("Solid"), Qt::SolidLine}, {tr("Dash"), Qt::DashLine},
        {tr("Dot"), Qt::DotLine}, {tr("Dash-dot"), Qt::DashDotLine}, {tr("None"), Qt::NoPen}};
    for (const auto &[text, style] : styles)
        seriesStyle_->addItem(text, int(style));

    auto *form = new QFormLayout;
    form->addRow(seriesShown_);
    form->addRow(tr("Colour"), seriesColour_);
    form->addRow(tr("Pen width"), seriesWidth_);
    form->addRow(tr("Line style"), seriesStyle_);
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(seriesList_, 1);
    layout->addLayout(form, 1);

    connect(seriesList_, &QListWidget::currentRowChanged, this, &ChartEditor::loadSeries);
    connect(seriesShown_, &QCheckBox::toggled, this, [this](bool on) {
        apply([&] { changeSeries([&](SeriesStyle &style) { style.shown = on; }); });
    });
    connect(seriesWidth_, &QSpinBox::valueChanged, this, [this](int width) {
        apply([&] { changeSeries([&](SeriesStyle &style) { style.penWidth = width; }); });
    });
    connect(seriesStyle_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            apply([&] {
                changeSeries([&](SeriesStyle &style) { style.lineStyle = Qt::PenStyle(seriesStyle_->itemData(index).toInt()); });
            });
    });
    return page;
}

QWidget *ChartEditor::makeAxesTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    addHeadings(grid, {tr("Automatic"), tr("Minimum"), tr("Maximum"), tr("Grid"), tr("Number format")});
    const QString names[] = {tr("Left"), tr("Right"), tr("Bottom (time)")};
    const std::pair<QString, GridStyle> grids[] = {{tr("Solid"), GridStyle::Solid}, {tr("Dash"), GridStyle::Dash},
        {tr("Dot"), GridStyle::Dot}, {tr("None"), GridStyle::None}, {tr("Fine dots"), GridStyle::FineDots}};
    for (int a = 0; a < 3; ++a) {
        AxisRow &row = axes_[a];
        row.automatic = named(new QCheckBox, numbered("chkAxisAuto", a));
        QWidget *limits[2];
        if (a == kBottom) {
            // Times are read and written as the program writes dates everywhere.
            row.from = named(new QLineEdit, numbered("txtAxisMin", a));
            row.to = named(new QLineEdit, numbered("txtAxisMax", a));
            for (QLineEdit *text : {row.from, row.to}) {
                text->setPlaceholderText(QStringLiteral("06-DEC-2026 10:00:00"));
                connect(text, &QLineEdit::editingFinished, this, &ChartEditor::applyTimeRange);
            }
            limits[0] = row.from;
            limits[1] = row.to;
        } else {
            row.minimum = named(new QDoubleSpinBox, numbered("spnAxisMin", a));
            row.maximum = named(new QDoubleSpinBox, numbered("spnAxisMax", a));
            for (QDoubleSpinBox *spin : {row.minimum, row.maximum}) {
                spin->setDecimals(3);
                spin->setRange(-1e15, 1e15);
                spin->setKeyboardTracking(false);
                connect(spin, &QDoubleSpinBox::valueChanged, this, [this, a] { applyAxisRange(a); });
            }
            limits[0] = row.minimum;
            limits[1] = row.maximum;
        }
        row.grid = named(new QComboBox, numbered("cboAxisGrid", a));
        for (const auto &[text, style] : grids)
            row.grid->addItem(text, int(style));
        int column = 0;
        for (QWidget *widget :
             std::initializer_list<QWidget *>{new QLabel(names[a]), row.automatic, limits[0], limits[1], row.grid})
            grid->addWidget(widget, a + 1, column++);
        if (a != kBottom) {
            row.format = named(new QLineEdit, numbered("txtAxisFormat", a));
            row.format->setPlaceholderText(QStringLiteral("#,##0.###"));
            grid->addWidget(row.format, a + 1, 5);
            connect(row.format, &QLineEdit::textChanged, this,
                    [this, a](const QString &format) { apply([&] { changeAxis(kAxes[a], [&](AxisLook &look) { look.numberFormat = format; }); }); });
        }
        connect(row.automatic, &QCheckBox::toggled, this, [this, a] { applyAxisRange(a); });
        connect(row.grid, &QComboBox::currentIndexChanged, this, [this, a](int index) {
            if (index >= 0)
                apply([&] {
                    changeAxis(kAxes[a], [&](AxisLook &look) { look.grid = GridStyle(axes_[a].grid->itemData(index).toInt()); });
                });
        });
    }
    axisMessage_ = named(new QLabel, QStringLiteral("lblAxisMessage"));
    axisMessage_->setWordWrap(true);
    axisMessage_->setStyleSheet(QStringLiteral("color: #b00000"));
    grid->addWidget(axisMessage_, 4, 0, 1, 6);
    grid->setRowStretch(5, 1);
    return page;
}

QWidget *ChartEditor::makeLegendTab()
{
    auto *page = new QWidget;
    legendShown_ = named(new QCheckBox(tr("Shown")), QStringLiteral("chkLegendShown"));
    legendPlace_ = named(new QComboBox, QStringLiteral("cboLegendPlace"));
    legendPlace_->addItem(tr("Bottom"), int(LegendPlace::Bottom));
    legendPlace_->addItem(tr("Top"), int(LegendPlace::Top));
    legendPlace_->addItem(tr("Right"), int(LegendPlace::Right));
    auto *form = new QFormLayout(page);
    form->addRow(legendShown_);
    form->addRow(tr("Position"), legendPlace_);
    connect(legendShown_, &QCheckBox::toggled, this, [this](bool on) {
        apply([&] {
            LegendLook look = chart_.legend();
            look.shown = on;
            chart_.setLegend(look);
        });
    });
    connect(legendPlace_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            apply([&] {
                LegendLook look = chart_.legend();
                look.place = LegendPlace(legendPlace_->itemData(index).toInt());
                chart_.setLegend(look);
            });
    });
    return page;
}

QWidget *ChartEditor::makePanelTab()
{
    auto *page = new QWidget;
    panelColour_ = colourButton(
        QStringLiteral("cmdPanelColour"), [this] { return chart_.panelColour(); },
        [this](const QColor &colour) { chart_.setPanelColour(colour); });
    auto *form = new QFormLayout(page);
    form->addRow(tr("Panel colour"), panelColour_);
    return page;
}

// A button showing a colour; a press asks for another and gives it to the chart.
QPushButton *ChartEditor::colourButton(const QString &name, std::function<QColor()> current,
                                       std::function<void(const QColor &)> change)
{
    auto *button = named(new QPushButton(tr("Colour...")), name);
    colourButtons_.emplace_back(button, current);
    connect(button, &QPushButton::clicked, this, [this, current, change] {
        const QColor initial = current();
        if (!initial.isValid())
            return;
        const std::optional<QColor> colour = ui_.chooseColour(this, initial, tr("Colour"));
        if (!colour || !colour->isValid())
            return;
        apply([&] { change(*colour); });
        refreshColourButtons();
    });
    return button;
}

// ---- Reading the chart -----------------------------------------------------

void ChartEditor::apply(const std::function<void()> &change)
{
    if (loading_)
        return;
    {
        const QScopedValueRollback<bool> busy(loading_, true);
        change();
    }
    refreshAutomaticRanges();
}

QString ChartEditor::seriesLabel(int s) const
{
    QString text = chart_.legendTextWanted ? chart_.legendTextWanted(s) : QString();
    if (text.isEmpty())
        text = chart_.seriesStyle(s).name;
    return text.isEmpty() ? tr("Series %1").arg(s + 1) : text;
}

void ChartEditor::changeTitle(TitleLine line, const std::function<void(TitleLook &)> &change)
{
    TitleLook look = chart_.title(line);
    change(look);
    chart_.setTitle(line, look);
}

void ChartEditor::changeSeries(const std::function<void(SeriesStyle &)> &change)
{
    const int s = currentSeries();
    if (s < 0)
        return;
    SeriesStyle style = chart_.seriesStyle(s);
    change(style);
    chart_.setSeriesStyle(s, style);
}

void ChartEditor::changeAxis(ChartAxis axis, const std::function<void(AxisLook &)> &change)
{
    AxisLook look = chart_.axisLook(axis);
    change(look);
    chart_.setAxisLook(axis, look);
}

int ChartEditor::currentSeries() const
{
    const int row = seriesList_->currentRow();
    return row >= 0 && row < chart_.seriesCount() ? row : -1;
}

void ChartEditor::reload()
{
    const QScopedValueRollback<bool> busy(loading_, true);
    for (int i = 0; i < 4; ++i) {
        const TitleLine line = kLines[i];
        const TitleLook look = chart_.title(line);
        if (titles_[i].text->text() != look.text)
            titles_[i].text->setText(look.text);
        titles_[i].shown->setChecked(look.shown);
        titles_[i].size->setValue(look.size);
        titles_[i].bold->setChecked(look.bold);
    }

    const int row = seriesList_->currentRow();
    seriesList_->clear();
    for (int s = 0; s < chart_.seriesCount(); ++s)
        seriesList_->addItem(seriesLabel(s));
    seriesList_->setCurrentRow(chart_.seriesCount() == 0 ? -1 : qBound(0, row, chart_.seriesCount() - 1));
    loadSeries();

    for (int a = 0; a < 3; ++a)
        loadAxis(a);
    legendShown_->setChecked(chart_.legend().shown);
    selectData(legendPlace_, int(chart_.legend().place));
    refreshColourButtons();
}

void ChartEditor::loadSeries()
{
    const QScopedValueRollback<bool> busy(loading_, true);
    const int s = currentSeries();
    for (QWidget *control : std::initializer_list<QWidget *>{seriesShown_, seriesColour_, seriesWidth_, seriesStyle_})
        control->setEnabled(s >= 0);
    if (s >= 0) {
        const SeriesStyle style = chart_.seriesStyle(s);
        seriesShown_->setChecked(style.shown);
        seriesWidth_->setValue(style.penWidth);
        selectData(seriesStyle_, int(style.lineStyle));
    }
    refreshColourButtons();
}

void ChartEditor::loadAxis(int a)
{
    const QScopedValueRollback<bool> busy(loading_, true);
    const ChartAxis axis = kAxes[a];
    AxisRow &row = axes_[a];
    const AxisLook look = chart_.axisLook(axis);
    const bool automatic = a == kBottom ? !chart_.zoomed() : !look.fixed;
    row.automatic->setChecked(automatic);
    enableAxisRange(a, !automatic);
    showAxisRange(a);
    selectData(row.grid, int(look.grid.value_or(GridStyle::Dot)));
    if (row.format && row.format->text() != look.numberFormat)
        row.format->setText(look.numberFormat);
}

void ChartEditor::showAxisRange(int a)
{
    const QScopedValueRollback<bool> busy(loading_, true);
    const AxisRow &row = axes_[a];
    if (a == kBottom) {
        row.from->setText(QString::fromStdString(timestr::generalDateText(chart_.axisRange(kAxes[a]).minimum)));
        row.to->setText(QString::fromStdString(timestr::generalDateText(chart_.axisRange(kAxes[a]).maximum)));
        return;
    }
    row.minimum->setValue(chart_.axisRange(kAxes[a]).minimum);
    row.maximum->setValue(chart_.axisRange(kAxes[a]).maximum);
}

void ChartEditor::enableAxisRange(int a, bool enabled)
{
    const AxisRow &row = axes_[a];
    for (QWidget *limit : std::initializer_list<QWidget *>{row.minimum, row.maximum, row.from, row.to})
        if (limit)
            limit->setEnabled(enabled);
}

void ChartEditor::applyAxisRange(int a)
{
    if (loading_)
        return;
    AxisRow &row = axes_[a];
    const bool automatic = row.automatic->isChecked();
    const QWidget *limit = a == kBottom ? static_cast<QWidget *>(row.from) : row.minimum;
    const bool madeFixed = !automatic && !limit->isEnabled();
    if (madeFixed)
        showAxisRange(a);  // start from the range shown now
    enableAxisRange(a, !automatic);
    axisMessage_->clear();
    apply([&] {
        if (a != kBottom)
            changeAxis(kAxes[a], [&](AxisLook &look) {
                look.fixed = !automatic;
                look.minimum = row.minimum->value();
                look.maximum = row.maximum->value();
            });
        else if (automatic)
            chart_.undoZoom();
        else if (madeFixed)
            chart_.showTimeRange(chart_.axisRange(ChartAxis::Bottom).minimum, chart_.axisRange(ChartAxis::Bottom).maximum);
    });
    // A value axis that mirrors the other one changes with it.
    if (a != kBottom)
        loadAxis(1 - a);
}

void ChartEditor::applyTimeRange()
{
    if (loading_ || axes_[kBottom].automatic->isChecked())
        return;
    double limits[2];
    const QLineEdit *texts[2] = {axes_[kBottom].from, axes_[kBottom].to};
    for (int i = 0; i < 2; ++i) {
        const QString text = texts[i]->text().trimmed();
        const std::optional<double> date = timestr::readDate(text.toStdString());
        if (!date) {
            axisMessage_->setText(tr("\"%1\" is not a date and time: write it as %2, for example.")
                                      .arg(text, QString::fromStdString(timestr::generalDateText(
                                                     i == 0 ? chart_.axisRange(ChartAxis::Bottom).minimum
                                                            : chart_.axisRange(ChartAxis::Bottom).maximum))));
            return;
        }
        limits[i] = *date;
    }
    if (!(limits[1] > limits[0])) {
        axisMessage_->setText(tr("The end of the time axis must come after its start."));
        return;
    }
    axisMessage_->clear();
    apply([&] { chart_.showTimeRange(limits[0], limits[1]); });
    showAxisRange(kBottom);  // as the program writes dates
}

void ChartEditor::chartDrawn()
{
    if (loading_ || !isVisible())
        return;  // showing again reloads
    if (seriesList_->count() != chart_.seriesCount()) {
        reload();
        return;
    }
    for (int i = 0; i < seriesList_->count(); ++i)
        if (const QString label = seriesLabel(i); seriesList_->item(i)->text() != label)
            seriesList_->item(i)->setText(label);  // named after it was added
    const int s = currentSeries();
    if (s >= 0 && seriesShown_->isChecked() != chart_.seriesStyle(s).shown) {
        const QScopedValueRollback<bool> busy(loading_, true);
        seriesShown_->setChecked(chart_.seriesStyle(s).shown);  // a click on the legend
    }
    refreshAutomaticRanges();
}

void ChartEditor::zoomChanged()
{
    if (!loading_ && isVisible())
        loadAxis(kBottom);
}

void ChartEditor::refreshAutomaticRanges()
{
    const QScopedValueRollback<bool> busy(loading_, true);
    for (int a = 0; a < 3; ++a)
        if (axes_[a].automatic->isChecked())
            showAxisRange(a);
}

void ChartEditor::refreshColourButtons()
{
    for (const auto &[button, current] : colourButtons_) {
        const QColor colour = current();
        QPixmap swatch(16, 16);
        swatch.fill(colour.isValid() ? colour : QColor(Qt::transparent));
        button->setIcon(QIcon(swatch));
        button->setProperty("colour", colour);
    }
}

}  // namespace kavra
