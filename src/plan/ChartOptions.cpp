#include "plan/ChartOptions.h"

#include <utility>

namespace kavra {

void ChartOptions::stack()
{
    stackMode_ = Stacked;
    setTitle(TitleLine::SubFooter, "Values are STACKED");
    showTitle(TitleLine::SubFooter, true);
}

void ChartOptions::unStack()
{
    stackMode_ = StackOverlap;
    titles_[size_t(TitleLine::SubFooter)].clear();
    showTitle(TitleLine::SubFooter, false);
}

void ChartOptions::cycleDual()
{
    useDualLayout(DualLayout((dual_ + 1) % 3));
}

void ChartOptions::useDualLayout(DualLayout layout)
{
    dual_ = layout;
    if (dual_ != SingleAxis)
        unStack();  // stacking is not offered while two axes are in use
}

void ChartOptions::showRatios(ItemOfFile a, ItemOfFile b)
{
    ratioMode_ = true;
    ratioA_ = a;
    ratioB_ = b;
}

void ChartOptions::setAxisFormats(std::string left, std::string right)
{
    axisFormats_ = {std::move(left), std::move(right)};
}

void ChartOptions::loaded(bool firstFile, const std::string &node)
{
    if (firstFile)
        setTitle(TitleLine::Header, "Node(s) : " + node);
    stackMode_ = StackOverlap;
    titles_[size_t(TitleLine::SubFooter)].clear();
    if (shows(DerivedCurve::MovingAverage) || shows(DerivedCurve::Smoothed))
        derived_ = DerivedCurve::None;
}

void ChartOptions::closed()
{
    derived_ = DerivedCurve::None;
    ratioMode_ = false;
    dual_ = SingleAxis;
    // Stacking as at start-up: neither stacked nor forced off by a dual mode.
    stackMode_ = StackNone;
    titles_[size_t(TitleLine::SubFooter)].clear();
    showTitle(TitleLine::SubFooter, false);
    showTitle(TitleLine::SubHeader, false);
    showTitle(TitleLine::Footer, false);
}

}  // namespace kavra
