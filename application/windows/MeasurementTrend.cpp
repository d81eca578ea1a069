#include "application/windows/MeasurementTrend.h"

#include "application/windows/MeasurementTrendPath.h"
#include "application/windows/MeasurementTrendSeries.h"
#include "application/windows/MeasurementTrendTimeScale.h"

#include <QColor>
#include <QPen>
#include <algorithm>
#include <limits>
#include <qwt_legend.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_scale_widget.h>

namespace {

// The window's colours: its orange, its dark blue and its grey.
const QColor curveColours[MeasurementTrend::maximumCurves] {
    QColor(0xef, 0x7c, 0x00), QColor(0x20, 0x42, 0x53), QColor(0x87, 0x87, 0x87)};
const QColor textColour(0x20, 0x42, 0x53);
const QColor gridColour(0xdd, 0xdd, 0xdd);

// Every point of a curve's stored series or of its drawn path, oldest first.
template<typename Samples> QVector<QPointF> samplesOf(const Samples &samples)
{
    QVector<QPointF> result;
    result.reserve(int(samples.size()));
    for (size_t i = 0; i < samples.size(); ++i)
        result.append(samples.sample(i));
    return result;
}

} // namespace

MeasurementTrend::MeasurementTrend(QWidget *parent)
    : QwtPlot(parent)
{
    setAutoReplot(false);
    setCanvasBackground(Qt::white);
    if (auto *canvas = qobject_cast<QwtPlotCanvas *>(this->canvas())) {
        canvas->setFrameStyle(QFrame::Box | QFrame::Plain);
        canvas->setLineWidth(1);
        // Nothing is laid over the curves, so the canvas paints straight into the window
        // instead of into a pixmap of its own that each replot would throw away and allocate
        // again.
        canvas->setPaintAttribute(QwtPlotCanvas::BackingStore, false);
        canvas->setStyleSheet(QStringLiteral("border: 1px solid #878787;"));
    }
    setAxisScaleDraw(QwtPlot::xBottom, new MeasurementTrendTimeScale);
    QwtText timeTitle(tr("Time since start (min:s)"));
    timeTitle.setColor(textColour);
    setAxisTitle(QwtPlot::xBottom, timeTitle);
    setAxisScale(QwtPlot::xBottom, 0.0, shortestSpanSeconds);

    auto *grid = new QwtPlotGrid;
    grid->setPen(gridColour, 0.0, Qt::DotLine);
    grid->attach(this);

    insertLegend(new QwtLegend, QwtPlot::TopLegend);

    for (int i = 0; i < maximumCurves; ++i) {
        auto *path = new MeasurementTrendPath;
        auto *curve = new QwtPlotCurve;
        curve->setPen(curveColours[i], 1.5);
        curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        curve->setLegendAttribute(QwtPlotCurve::LegendShowLine, true);
        // The curve owns its path; the points themselves stay here.
        curve->setData(path);
        m_curves.push_back(curve);
        m_paths.push_back(path);
        m_series.push_back(std::make_unique<MeasurementTrendSeries>(pointsPerCurve));
    }

    m_refreshTimer.setInterval(refreshIntervalMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &MeasurementTrend::refresh);
    m_refreshTimer.start();
    updateScales();
}

MeasurementTrend::~MeasurementTrend()
{
    // Curves not attached at the moment are not the plot's to delete.
    for (QwtPlotCurve *curve : m_curves) {
        curve->detach();
        delete curve;
    }
}

void MeasurementTrend::setCurves(const QString &valueAxisTitle, const QStringList &titles)
{
    m_curveCount = std::min<int>(titles.size(), maximumCurves);
    for (int i = 0; i < maximumCurves; ++i) {
        m_series[size_t(i)]->clear();
        if (i < m_curveCount) {
            m_curves[size_t(i)]->setTitle(titles.at(i));
            m_curves[size_t(i)]->attach(this);
        } else {
            m_curves[size_t(i)]->detach();
        }
    }
    QwtText title(valueAxisTitle);
    title.setColor(textColour);
    setAxisTitle(QwtPlot::yLeft, title);
    m_latestSeconds = 0.0;
    m_changed = true;
    refresh();
}

void MeasurementTrend::clear()
{
    for (const auto &series : m_series)
        series->clear();
    m_latestSeconds = 0.0;
    m_changed = true;
    refresh();
}

void MeasurementTrend::addValue(int curve, double seconds, double value)
{
    if (curve < 0 || curve >= m_curveCount)
        return;
    m_series[size_t(curve)]->append(QPointF(seconds, value));
    m_latestSeconds = std::max(m_latestSeconds, seconds);
    m_changed = true;
}

QString MeasurementTrend::curveTitle(int curve) const
{
    if (curve < 0 || curve >= m_curveCount)
        return QString();
    return m_curves[size_t(curve)]->title().text();
}

QVector<QPointF> MeasurementTrend::points(int curve) const
{
    if (curve < 0 || curve >= m_curveCount)
        return {};
    return samplesOf(*m_series[size_t(curve)]);
}

QVector<QPointF> MeasurementTrend::drawnPoints(int curve) const
{
    if (curve < 0 || curve >= m_curveCount)
        return {};
    return samplesOf(*m_paths[size_t(curve)]);
}

QString MeasurementTrend::valueAxisTitle() const
{
    return axisTitle(QwtPlot::yLeft).text();
}

void MeasurementTrend::refresh()
{
    if (!m_changed)
        return;
    m_changed = false;
    updateScales();
    // The scales as they will be drawn, for the columns the curves are reduced to.
    updateAxes();
    updatePaths();
    replot();
}

void MeasurementTrend::updateLayout()
{
    QwtPlot::updateLayout();
    updatePaths();
}

void MeasurementTrend::updatePaths()
{
    const QwtScaleMap timeMap = canvasMap(QwtPlot::xBottom);
    // Also reached while the plot is being built, before the curves are.
    for (size_t i = 0; i < m_paths.size(); ++i) {
        if (int(i) < m_curveCount)
            m_paths[i]->update(*m_series[i], timeMap);
        else
            m_paths[i]->clear();
    }
}

void MeasurementTrend::updateScales()
{
    const double right = std::max(m_latestSeconds, shortestSpanSeconds);
    setAxisScale(QwtPlot::xBottom, std::max(0.0, right - spanSeconds), right);

    double bottom = std::numeric_limits<double>::max();
    double top = std::numeric_limits<double>::lowest();
    for (int i = 0; i < m_curveCount; ++i) {
        const MeasurementTrendSeries &series = *m_series[size_t(i)];
        if (series.size() == 0)
            continue;
        const QRectF bounds = series.boundingRect();
        bottom = std::min(bottom, bounds.top());
        top = std::max(top, bounds.bottom());
    }
    if (bottom > top) {
        bottom = 0.0;
        top = 1.0;
    }
    // Some room above and below; a steady value gets a band around it, and a quantity that
    // never goes below zero keeps zero as its floor.
    const double span = std::max(top - bottom, std::max(1.0, std::abs(top) * 0.05));
    double lower = bottom - span * 0.15;
    const double upper = top + span * 0.15;
    if (bottom >= 0.0 && lower < 0.0)
        lower = 0.0;
    setAxisScale(QwtPlot::yLeft, lower, upper);
}
