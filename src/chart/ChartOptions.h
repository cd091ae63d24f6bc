#pragma once
// What the chart commands choose and the redraw draws from: the derived curve,
// the stacking and dual layout, the line widths and the title lines.

#include "chart/StackMode.h"

#include <QString>

#include <cstdint>

namespace kavra {

// The one curve derived from the charted items, if any.
enum class DerivedCurve { None, MovingAverage, Smoothed, Candle };

// Two charted items: on one value axis, on a left and a right axis, or in an
// upper and a lower chart.
enum DualLayout : int16_t { SingleAxis = 0, DualAxes = 1, DualCharts = 2 };

struct ChartOptions {
    int32_t Primary_Line_Width = 3;
    int32_t Secondary_Line_Width = 3;
    int16_t MovAvg_Period = 10;
    int32_t Smoothing_Factor = 50;
    DerivedCurve Derived_Curve = DerivedCurve::None;
    bool Ratio_Mode = false;
    StackMode Stack_Mode = StackNone;
    DualLayout Dual_Charts = SingleAxis;
    QString Chart_Title;
    QString Chart_Sub_Title;
    QString Chart_Footer;
    QString Chart_Sub_Footer;
    QString Axis_Format_String_Left;
    QString Axis_Format_String_Right;

    bool shows(DerivedCurve curve) const { return Derived_Curve == curve; }
    // Switches curve on in place of any other, or off when it is on.
    void toggle(DerivedCurve curve) { Derived_Curve = shows(curve) ? DerivedCurve::None : curve; }
};

}  // namespace kavra
