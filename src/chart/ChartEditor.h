#pragma once
// frmChartEditor: Kavra's own editor of the chart's look. Titles, series, axes,
// legend and panel on tabs; every change goes to the chart at once, there is no
// OK or Apply. Non-modal: the caller shows and raises it.

#include <QColor>
#include <QDialog>

#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace kavra {

class ChartOptions;
class ChartView;
class Interaction;
struct AxisLook;
struct SeriesStyle;
struct TitleLook;
enum class ChartAxis;
enum class TitleLine;

class ChartEditor : public QDialog {
    Q_OBJECT
public:
    // Colours are asked through ui. Which title lines show is chart state: with
    // options, a change goes to them too, so that the next redraw keeps it. The
    // title texts and number formats typed here are only the look of the chart
    // drawn: the next redraw draws the application's texts and the start-up
    // formats again, as it resets colours and grids.
    ChartEditor(ChartView &chart, Interaction &ui, QWidget *parent = nullptr, ChartOptions *options = nullptr);

    // Reads everything the editor shows from the chart again.
    void reload();

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct TitleRow {
        QLineEdit *text;
        QCheckBox *shown;
        QSpinBox *size;
        QCheckBox *bold;
        QPushButton *colour;
    };
    struct AxisRow {
        QCheckBox *automatic;
        QDoubleSpinBox *minimum;  // the value axes' limits
        QDoubleSpinBox *maximum;
        QLineEdit *from;  // the time axis' limits, as date texts
        QLineEdit *to;
        QComboBox *grid;
        QLineEdit *format;  // none for the time axis
    };

    QWidget *makeTitlesTab();
    QWidget *makeSeriesTab();
    QWidget *makeAxesTab();
    QWidget *makeLegendTab();
    QWidget *makePanelTab();
    QPushButton *colourButton(const QString &name, std::function<QColor()> current,
                              std::function<void(const QColor &)> change);

    // Runs a change of the chart unless the editor is filling in its controls.
    void apply(const std::function<void()> &change);
    // Reads the look of a title line, the current series or an axis, changes it
    // and sets it back.
    void changeTitle(TitleLine line, const std::function<void(TitleLook &)> &change);
    void changeSeries(const std::function<void(SeriesStyle &)> &change);
    void changeAxis(ChartAxis axis, const std::function<void(AxisLook &)> &change);
    int currentSeries() const;
    QString seriesLabel(int s) const;
    void loadSeries();
    void loadAxis(int a);
    // The user's choice of automatic or fixed range, and the fixed range, to the chart.
    void applyAxisRange(int a);
    // The time range typed in, to the chart; a text that is no date says so.
    void applyTimeRange();
    void showAxisRange(int a);
    void enableAxisRange(int a, bool enabled);
    // What the chart may change without the editor: series list, shown series,
    // ranges of automatic axes, the zoom of the time axis.
    void chartDrawn();
    void zoomChanged();
    void refreshAutomaticRanges();
    void refreshColourButtons();

    ChartView &chart_;
    ChartOptions *options_;
    Interaction &ui_;
    bool loading_ = false;
    TitleRow titles_[4] = {};
    QListWidget *seriesList_ = nullptr;
    QCheckBox *seriesShown_ = nullptr;
    QPushButton *seriesColour_ = nullptr;
    QSpinBox *seriesWidth_ = nullptr;
    QComboBox *seriesStyle_ = nullptr;
    AxisRow axes_[3] = {};
    QLabel *axisMessage_ = nullptr;
    QCheckBox *legendShown_ = nullptr;
    QComboBox *legendPlace_ = nullptr;
    QPushButton *panelColour_ = nullptr;
    // Each colour button with what tells its colour.
    std::vector<std::pair<QPushButton *, std::function<QColor()>>> colourButtons_;
};

}  // namespace kavra
