#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

namespace DeviceSim {
class DeviceSimulator;
}

namespace TestSupport {

// The measurements a simulated device streams, from construction on, in the order it sends
// them: each as the columns "quantity,phase,value,unit" of a measurement CSV row, and as the
// plain value per trend curve.
class StreamedMeasurements : public QObject
{
    Q_OBJECT

public:
    explicit StreamedMeasurements(DeviceSim::DeviceSimulator *device);

    const QList<QByteArray> &rows() const { return m_rows; }
    // Values per curve of the trend: voltages and currents by phase; powers as active,
    // reactive, apparent (curves 0, 1, 2 of the power trend, offset by 3 here: 3, 4, 5).
    QList<double> values(int curve) const { return m_values[curve]; }
    int count() const { return m_rows.size(); }

    // The "quantity,phase,value,unit" columns of a CSV recording or of k27ctl's output; false
    // when the header or a row is malformed (wrong column count, no elapsed milliseconds, no
    // ISO time, a cut line).
    static bool columns(const QByteArray &csv, QList<QByteArray> *rows);

private:
    QList<QByteArray> m_rows;
    QList<double> m_values[6];
    int m_phase = 0;
};

} // namespace TestSupport
