#include "support/StreamedMeasurements.h"

#include "component/ZantLinkCommandCode.h"
#include "model/interfaces/ModelValueID.h"
#include "support/LinkClient.h"
#include "tools/devicesim/DeviceSimulator.h"
#include "utilities/LittleEndian.h"

#include <QDateTime>

namespace TestSupport {

StreamedMeasurements::StreamedMeasurements(DeviceSim::DeviceSimulator *device)
{
    connect(device, &DeviceSim::DeviceSimulator::packetSent, this,
            [this](quint16 command, quint8, const QList<QByteArray> &arguments) {
                if (command != Component::K27::ZantLinkCommandCode::SetModelValue
                    || arguments.size() < 2 || arguments.at(0).size() < 2)
                    return;
                using Model::Interfaces::ModelValueID;
                using Model::Interfaces::toNumber;
                const auto identifier
                    = Utilities::LittleEndian::read<quint16>(arguments.at(0).constData());
                const QByteArray &content = arguments.at(1);
                // The device announces the phase before each voltage or current.
                if (identifier == toNumber(ModelValueID::MeasurementPhase) && !content.isEmpty()) {
                    m_phase = quint8(content.at(0));
                    return;
                }
                if (identifier < toNumber(ModelValueID::MeasurementVoltage)
                    || identifier > toNumber(ModelValueID::MeasurementReactivePower)
                    || content.size() != 4)
                    return;
                const float value = LinkClient::toFloat(content);
                // Voltage, current, active, apparent, reactive power, in identifier order.
                static const char *const quantities[] {"voltage", "current", "active power",
                                                       "apparent power", "reactive power"};
                static const char *const units[] {"V", "A", "kW", "kVA", "kVAr"};
                static const int powerCurves[] {3, 5, 4};
                const int index = identifier - toNumber(ModelValueID::MeasurementVoltage);
                const bool phased = index < 2;
                const double shown = phased ? double(value) : double(value) / 1000.0;
                QByteArray row = quantities[index];
                row += ',';
                if (phased)
                    row += 'L' + QByteArray::number(m_phase + 1);
                row += ',' + QByteArray::number(shown, 'f', phased ? 2 : 3) + ',' + units[index];
                m_rows.append(row);
                const int curve = phased ? m_phase : powerCurves[index - 2];
                if (curve >= 0 && curve < 6)
                    m_values[curve].append(shown);
            });
}

bool StreamedMeasurements::columns(const QByteArray &csv, QList<QByteArray> *rows)
{
    QList<QByteArray> lines = csv.split('\n');
    if (lines.isEmpty() || lines.takeFirst() != "elapsed_ms,time,quantity,phase,value,unit")
        return false;
    // Every line ends with its line end: the last piece is empty.
    if (lines.isEmpty() || !lines.takeLast().isEmpty())
        return false;
    qint64 previous = 0;
    for (const QByteArray &line : qAsConst(lines)) {
        const QList<QByteArray> columns = line.split(',');
        bool elapsedOk = false;
        const qint64 elapsed = columns.value(0).toLongLong(&elapsedOk);
        if (columns.size() != 6 || !elapsedOk || elapsed < previous
            || !QDateTime::fromString(QString::fromLatin1(columns.at(1)), Qt::ISODateWithMs)
                    .isValid())
            return false;
        previous = elapsed;
        rows->append(columns.mid(2).join(','));
    }
    return true;
}

} // namespace TestSupport
