#pragma once
// The path of one series in pixels: a smoothed line through every point, broken at gaps.
//
// Smoothing is a uniform Catmull-Rom spline drawn as cubic Bezier segments: between points
// P1 and P2 the control points are P1 + (P2 - P0) / 6 and P2 - (P3 - P1) / 6, so the curve
// passes through every point with a continuous tangent, as a spreadsheet's smoothed line does.
// Where a run has many points per pixel column, it is drawn as a polyline through the first,
// lowest, highest and last point of each column instead: smoothing is invisible at that
// density and the column keeps exactly its pixels.
#include <QPainterPath>
#include <QRectF>

#include <vector>

#include "render/chart_painter.h"

namespace render {

// The path comes in short pieces that meet end to end: the rasteriser fills one wide stroke in
// time that grows with the edges it crosses on each scan line, so one long, dense path that
// crosses itself thousands of times is slow where many short ones are not.
std::vector<QPainterPath> curvePath(const PlotSeries& series, const ChartGeometry& geometry, bool reduceDensePoints);

// Consecutive points in the same pixel column become that column's first, lowest, highest and
// last point, in their original order.
std::vector<QPointF> reduceByPixelColumn(const std::vector<QPointF>& points);

}  // namespace render
