#include "application/core/LatestMeasurements.h"

namespace Application::K27 {

void LatestMeasurements::take(const MeasurementSample &sample)
{
    m_samples.insert(qMakePair(static_cast<int>(sample.kind), sample.phase), sample);
}

QList<MeasurementSample> LatestMeasurements::samples() const
{
    // The map orders by quantity, then phase: the order of MeasurementSample::Kind.
    return m_samples.values();
}

} // namespace Application::K27
