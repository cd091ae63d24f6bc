#pragma once
// The whole state of the chart: what the chart commands choose and the redraw
// draws from (the derived curve, the stacking and dual layout, the ratio charts
// and their operands, the line widths, the title lines and which of them show,
// the value axes' number formats). It changes only through the named intents
// below, which the viewer's commands and kavra-batch render both call, so the
// two cannot drift apart; the redraw only reads it. Texts are UTF-8.

#include <array>
#include <cstdint>
#include <string>

namespace kavra {

// The one curve derived from the charted items, if any.
enum class DerivedCurve { None, MovingAverage, Smoothed, Candle };

// How an item series stands among the others: drawn on its own (none or
// overlapping) or stacked on the series before it.
enum StackMode { StackNone = 0, StackOverlap = 1, Stacked = 2 };

// Two charted items: on one value axis, on a left and a right axis, or in an
// upper and a lower chart.
enum DualLayout : int16_t { SingleAxis = 0, DualAxes = 1, DualCharts = 2 };

// The chart's four title lines, top to bottom.
enum class TitleLine { Header = 0, SubHeader, Footer, SubFooter };

// The number format a value axis starts with.
inline constexpr const char *kDefaultAxisFormat = "#,##0.###";

// An item of a file: its Perf_Data column and the file's number (from 1).
struct ItemOfFile {
    int column = 0;
    int file = 0;
    bool operator==(const ItemOfFile &) const = default;
};

class ChartOptions {
public:
    int32_t primaryWidth() const { return primaryWidth_; }
    int32_t secondaryWidth() const { return secondaryWidth_; }
    int16_t movingAveragePeriod() const { return movingAveragePeriod_; }
    int32_t smoothingFactor() const { return smoothingFactor_; }
    DerivedCurve derivedCurve() const { return derived_; }
    bool shows(DerivedCurve curve) const { return derived_ == curve; }
    StackMode stackMode() const { return stackMode_; }
    DualLayout dualLayout() const { return dual_; }
    // Ratio charts A / B and B / A of two charted items, while they are shown.
    bool ratioMode() const { return ratioMode_; }
    ItemOfFile ratioA() const { return ratioA_; }
    ItemOfFile ratioB() const { return ratioB_; }
    const std::string &title(TitleLine line) const { return titles_[size_t(line)]; }
    bool titleShown(TitleLine line) const { return titleShown_[size_t(line)]; }
    // Of the left (false) or right (true) value axis.
    const std::string &axisFormat(bool right) const { return axisFormats_[right ? 1 : 0]; }

    // ---- Intents ----
    // Switches curve on in place of any other, or off when it is on.
    void toggle(DerivedCurve curve) { derived_ = shows(curve) ? DerivedCurve::None : curve; }
    // Draws curve (None: no derived curve), whatever was drawn before.
    void show(DerivedCurve curve) { derived_ = curve; }
    void setMovingAveragePeriod(int16_t period) { movingAveragePeriod_ = period; }
    void setSmoothingFactor(int32_t factor) { smoothingFactor_ = factor; }
    void setPrimaryWidth(int32_t width) { primaryWidth_ = width; }
    void setSecondaryWidth(int32_t width) { secondaryWidth_ = width; }
    // Item series stacked on one another, which the sub-footer says.
    void stack();
    // Item series overlapping, the sub-footer empty and hidden.
    void unStack();
    // The next dual layout: one axis, two axes, two charts, one axis again. Two
    // axes do not stack: the items overlap.
    void cycleDual();
    // One value axis (after a load, or when a redraw charts one item).
    void useSingleAxis() { dual_ = SingleAxis; }
    // A dual layout as if cycled to it.
    void useDualLayout(DualLayout layout);
    void showRatios(ItemOfFile a, ItemOfFile b);
    void leaveRatios() { ratioMode_ = false; }
    void setTitle(TitleLine line, std::string text) { titles_[size_t(line)] = std::move(text); }
    void showTitle(TitleLine line, bool shown) { titleShown_[size_t(line)] = shown; }
    void setAxisFormats(std::string left, std::string right);
    // After a successful load: the items overlap, the sub-footer is empty, no
    // moving average or smoothing; after the first file the title names its node.
    void loaded(bool firstFile, const std::string &node);
    // After Close: as at start-up, but the texts of the sub-title and footer
    // stay (hidden) for the next file.
    void closed();

private:
    int32_t primaryWidth_ = 3;
    int32_t secondaryWidth_ = 3;
    int16_t movingAveragePeriod_ = 10;
    int32_t smoothingFactor_ = 50;
    DerivedCurve derived_ = DerivedCurve::None;
    bool ratioMode_ = false;
    ItemOfFile ratioA_, ratioB_;
    StackMode stackMode_ = StackNone;
    DualLayout dual_ = SingleAxis;
    std::array<std::string, 4> titles_;
    std::array<bool, 4> titleShown_{true, false, false, false};
    std::array<std::string, 2> axisFormats_{kDefaultAxisFormat, kDefaultAxisFormat};
};

}  // namespace kavra
