#include "application/windows/MeasurementTrendSeries.h"

#include <algorithm>

MeasurementTrendSeries::MeasurementTrendSeries(size_t capacity)
    : m_points(std::max<size_t>(capacity, 1))
{
}

void MeasurementTrendSeries::append(const QPointF &point)
{
    const size_t capacity = m_points.size();
    if (m_size < capacity) {
        m_points[(m_first + m_size) % capacity] = point;
        ++m_size;
    } else {
        m_points[m_first] = point;
        m_first = (m_first + 1) % capacity;
    }
    // The rectangle is worked out again when the plot asks for it.
    d_boundingRect = QRectF(0.0, 0.0, -1.0, -1.0);
}

void MeasurementTrendSeries::clear()
{
    m_first = 0;
    m_size = 0;
    d_boundingRect = QRectF(0.0, 0.0, -1.0, -1.0);
}

QPointF MeasurementTrendSeries::sample(size_t index) const
{
    return m_points[(m_first + index) % m_points.size()];
}

QPointF MeasurementTrendSeries::last() const
{
    return m_size == 0 ? QPointF() : sample(m_size - 1);
}

QRectF MeasurementTrendSeries::boundingRect() const
{
    if (m_size == 0 || d_boundingRect.width() >= 0.0)
        return d_boundingRect;
    double top = sample(0).y();
    double bottom = top;
    for (size_t i = 1; i < m_size; ++i) {
        const double y = sample(i).y();
        top = std::max(top, y);
        bottom = std::min(bottom, y);
    }
    const double left = sample(0).x();
    d_boundingRect = QRectF(left, bottom, last().x() - left, top - bottom);
    return d_boundingRect;
}
