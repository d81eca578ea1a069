#pragma once

#include "application/core/MeasurementRecorder.h"

#include <QList>
#include <QMap>
#include <QPair>

namespace Application::K27 {

// The last value of every quantity and phase measured since the device window opened: what the
// service report lists as the device's latest measurements.
class LatestMeasurements
{
public:
    // Keeps sample in the place of the earlier one of its quantity and phase.
    void take(const MeasurementSample &sample);
    // Voltages, currents, then powers; phases in order.
    QList<MeasurementSample> samples() const;
    bool isEmpty() const { return m_samples.isEmpty(); }
    void clear() { m_samples.clear(); }

private:
    QMap<QPair<int, int>, MeasurementSample> m_samples;
};

} // namespace Application::K27
