#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>
#include <memory>
#include <qwt_plot.h>
#include <vector>

class MeasurementTrendPath;
class MeasurementTrendSeries;
class QwtPlotCurve;

// The live trend under the measurement labels of the Data page: one curve per phase (or per
// kind of power) over the last minutes, the newest value at the right edge. Each curve keeps
// its points in a ring of fixed capacity, so a device that streams for hours costs no more
// memory than one that just started; values are only stored as they arrive and the plot is
// drawn again a few times a second, not once per value, each curve through at most a few
// points per pixel column.
class MeasurementTrend : public QwtPlot
{
    Q_OBJECT

public:
    // Points kept per curve: five minutes at one value every 100 ms. A device that streams
    // faster shows a shorter stretch of time.
    static constexpr int pointsPerCurve = 3000;
    // The time the axis shows once the measurement has run that long; before that the axis
    // spans at least the first half minute.
    static constexpr double spanSeconds = 300.0;
    static constexpr double shortestSpanSeconds = 30.0;
    static constexpr int maximumCurves = 3;
    // How often new values are drawn.
    static constexpr int refreshIntervalMs = 250;

    explicit MeasurementTrend(QWidget *parent = nullptr);
    ~MeasurementTrend() override;

    // Starts over with one empty curve per title (at most maximumCurves) and the unit's axis
    // title, for example "Voltage (V)".
    void setCurves(const QString &valueAxisTitle, const QStringList &titles);
    // Forgets every point.
    void clear();
    // A value of a curve at a time in seconds since the measurement started. Values of a curve
    // that does not exist are ignored.
    void addValue(int curve, double seconds, double value);

    int curveCount() const { return m_curveCount; }
    QString curveTitle(int curve) const;
    // The points a curve holds, oldest first.
    QVector<QPointF> points(int curve) const;
    // The points the curve was last drawn through, oldest first: those it holds, reduced to the
    // canvas' pixel columns.
    QVector<QPointF> drawnPoints(int curve) const;
    QString valueAxisTitle() const;

    // Draws what arrived since the last drawing now, instead of at the next refresh.
    void refresh();

protected:
    // The canvas' width sets the columns the curves are reduced to.
    void updateLayout() override;

private:
    void updateScales();
    void updatePaths();

    std::vector<QwtPlotCurve *> m_curves;
    std::vector<std::unique_ptr<MeasurementTrendSeries>> m_series;
    // Owned by the curves, which draw them.
    std::vector<MeasurementTrendPath *> m_paths;
    int m_curveCount = 0;
    double m_latestSeconds = 0.0;
    bool m_changed = false;
    QTimer m_refreshTimer;
};
