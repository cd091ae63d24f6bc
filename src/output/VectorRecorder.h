#pragma once
// A paint device that keeps what a QPainter draws on it as a VectorPicture:
// lines, polylines, polygons, rectangles, ellipses, paths (as polygons) and text
// with its font, colour and direction, all in device pixels. Clipping is not
// kept, and neither are images.

#include "output/VectorPicture.h"

#include <QPaintDevice>

#include <memory>

namespace kavra {

class VectorPaintEngine;

class VectorRecorder : public QPaintDevice {
public:
    // A device of width x height pixels at dpi dots per inch (fonts given in
    // points are sized by it).
    VectorRecorder(int width, int height, int dpi = 96);
    ~VectorRecorder() override;

    QPaintEngine *paintEngine() const override;
    const VectorPicture &picture() const { return picture_; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    VectorPicture picture_;
    int dpi_;
    std::unique_ptr<VectorPaintEngine> engine_;
};

}  // namespace kavra
