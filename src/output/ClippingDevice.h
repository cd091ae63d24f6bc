#pragma once
// A paint device that passes what is painted on it on to another device, with
// every line and area first cut to the painter's clip. Some picture files keep
// no clipping (Qt's SVG generator, the metafile recorder), and without this the
// lines of a zoomed or scrolled chart would run out of the plot across the axes.
//
// Lines and outlines are cut at the clip's edges, areas intersected with it;
// text, points and pictures are kept whole when they begin inside the clip and
// left out when they do not. Clips are taken as their bounding rectangle, which
// is all the chart uses.

#include <QPaintDevice>

#include <memory>

namespace kavra {

class ClippingPaintEngine;

class ClippingDevice : public QPaintDevice {
public:
    // Paints on target, which must outlive this device; target gets a painter of
    // its own while a painter is active on this device.
    explicit ClippingDevice(QPaintDevice &target);
    ~ClippingDevice() override;

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QPaintDevice &target_;
    std::unique_ptr<ClippingPaintEngine> engine_;
};

}  // namespace kavra
