#pragma once

#include <QPointF>
#include <QRectF>
#include <qwt_series_data.h>
#include <vector>

// The points of one trend curve: a ring of fixed capacity, allocated once, that lets the oldest
// point go for each new one once it is full. Adding a point costs the same however long the
// device streams, and the memory stays where it was at the start.
class MeasurementTrendSeries : public QwtSeriesData<QPointF>
{
public:
    explicit MeasurementTrendSeries(size_t capacity);

    void append(const QPointF &point);
    void clear();

    size_t size() const override { return m_size; }
    // Oldest first.
    QPointF sample(size_t index) const override;
    QRectF boundingRect() const override;

    size_t capacity() const { return m_points.size(); }
    // The newest point; (0, 0) while empty.
    QPointF last() const;

private:
    std::vector<QPointF> m_points;
    size_t m_first = 0;
    size_t m_size = 0;
};
