#include "application/windows/MeasurementTrendPath.h"

#include "application/windows/MeasurementTrendSeries.h"

#include <algorithm>
#include <cmath>
#include <qwt_scale_map.h>

void MeasurementTrendPath::update(const MeasurementTrendSeries &series, const QwtScaleMap &timeMap)
{
    // clear() keeps the capacity: the buffer is allocated once for the largest curve.
    m_points.clear();
    d_boundingRect = QRectF(0.0, 0.0, -1.0, -1.0);
    const size_t count = series.size();
    if (count == 0)
        return;
    size_t first = 0;
    size_t lowest = 0;
    size_t highest = 0;
    double column = std::floor(timeMap.transform(series.sample(0).x()));
    for (size_t i = 1; i < count; ++i) {
        const QPointF point = series.sample(i);
        const double pointColumn = std::floor(timeMap.transform(point.x()));
        if (pointColumn != column) {
            appendColumn(series, first, lowest, highest, i - 1);
            column = pointColumn;
            first = lowest = highest = i;
            continue;
        }
        if (point.y() < series.sample(lowest).y())
            lowest = i;
        if (point.y() > series.sample(highest).y())
            highest = i;
    }
    appendColumn(series, first, lowest, highest, count - 1);
}

void MeasurementTrendPath::clear()
{
    m_points.clear();
    d_boundingRect = QRectF(0.0, 0.0, -1.0, -1.0);
}

void MeasurementTrendPath::appendColumn(const MeasurementTrendSeries &series, size_t first,
                                        size_t lowest, size_t highest, size_t last)
{
    // In the order they arrived; a point that is two of them (the first is the lowest) once.
    const size_t kept[4] {first, std::min(lowest, highest), std::max(lowest, highest), last};
    m_points.push_back(series.sample(first));
    for (size_t k = 1; k < 4; ++k) {
        if (kept[k] != kept[k - 1])
            m_points.push_back(series.sample(kept[k]));
    }
}

QRectF MeasurementTrendPath::boundingRect() const
{
    if (m_points.empty() || d_boundingRect.width() >= 0.0)
        return d_boundingRect;
    const auto [lowest, highest]
        = std::minmax_element(m_points.begin(), m_points.end(),
                              [](const QPointF &a, const QPointF &b) { return a.y() < b.y(); });
    d_boundingRect = QRectF(m_points.front().x(), lowest->y(),
                            m_points.back().x() - m_points.front().x(), highest->y() - lowest->y());
    return d_boundingRect;
}
