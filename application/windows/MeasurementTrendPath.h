#pragma once

#include <QPointF>
#include <QRectF>
#include <qwt_series_data.h>
#include <vector>

class MeasurementTrendSeries;
class QwtScaleMap;

// The points a trend curve is drawn through: its series reduced to the first, the lowest, the
// highest and the last point of each pixel column, in the order they arrived. A line through
// these covers the same pixels as one through every point (a single high or low sample stays a
// spike), but a curve of thousands of points on a few hundred columns costs a few hundred
// segments to stroke. The buffer is kept from one drawing to the next.
class MeasurementTrendPath : public QwtSeriesData<QPointF>
{
public:
    // Takes the points of series again, for a time axis mapped onto pixels by timeMap.
    void update(const MeasurementTrendSeries &series, const QwtScaleMap &timeMap);
    void clear();

    size_t size() const override { return m_points.size(); }
    QPointF sample(size_t index) const override { return m_points[index]; }
    QRectF boundingRect() const override;

private:
    // Appends the kept points of one column, taken from the series' indices first to last.
    void appendColumn(const MeasurementTrendSeries &series, size_t first, size_t lowest,
                      size_t highest, size_t last);

    std::vector<QPointF> m_points;
};
