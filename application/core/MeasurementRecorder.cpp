#include "application/core/MeasurementRecorder.h"

#include "model/database/ModelDatabase.h"

#include <QCoreApplication>

namespace Application::K27 {

MeasurementSample MeasurementSample::fromModel(Model::Database::ModelDatabase &database, Kind kind,
                                               int phase)
{
    Model::Database::ModelMeasurement &measurement = database.measurement();
    MeasurementSample sample;
    sample.kind = kind;
    switch (kind) {
    case Kind::Voltage:
        sample.phase = phase;
        sample.value = double(measurement.voltage().value());
        break;
    case Kind::Current:
        sample.phase = phase;
        sample.value = double(measurement.current().value());
        break;
    case Kind::ActivePower:
        sample.value = double(measurement.activePower().value()) / 1000.0;
        break;
    case Kind::ReactivePower:
        sample.value = double(measurement.reactivePower().value()) / 1000.0;
        break;
    case Kind::ApparentPower:
        sample.value = double(measurement.apparentPower().value()) / 1000.0;
        break;
    }
    return sample;
}

QByteArray MeasurementSample::quantityName(Kind kind)
{
    switch (kind) {
    case Kind::Voltage:
        return QByteArrayLiteral("voltage");
    case Kind::Current:
        return QByteArrayLiteral("current");
    case Kind::ActivePower:
        return QByteArrayLiteral("active power");
    case Kind::ReactivePower:
        return QByteArrayLiteral("reactive power");
    case Kind::ApparentPower:
        return QByteArrayLiteral("apparent power");
    }
    return QByteArray();
}

QByteArray MeasurementSample::unit(Kind kind)
{
    switch (kind) {
    case Kind::Voltage:
        return QByteArrayLiteral("V");
    case Kind::Current:
        return QByteArrayLiteral("A");
    case Kind::ActivePower:
        return QByteArrayLiteral("kW");
    case Kind::ReactivePower:
        return QByteArrayLiteral("kVAr");
    case Kind::ApparentPower:
        return QByteArrayLiteral("kVA");
    }
    return QByteArray();
}

QByteArray MeasurementSample::phaseName(int phase)
{
    if (phase < 0 || phase > 2)
        return QByteArray();
    return QByteArrayLiteral("L") + QByteArray::number(phase + 1);
}

MeasurementRecorder::MeasurementRecorder() = default;

MeasurementRecorder::~MeasurementRecorder()
{
    stop();
}

QByteArray MeasurementRecorder::header()
{
    return QByteArrayLiteral("elapsed_ms,time,quantity,phase,value,unit\n");
}

QByteArray MeasurementRecorder::formatRow(qint64 elapsedMs, const QDateTime &time,
                                          const MeasurementSample &sample)
{
    // Volts and amperes to the hundredth, kilo-units to the watt.
    const bool kilo = sample.kind != MeasurementSample::Kind::Voltage
        && sample.kind != MeasurementSample::Kind::Current;
    QByteArray row;
    row.reserve(64);
    row += QByteArray::number(elapsedMs);
    row += ',';
    row += time.toUTC().toString(Qt::ISODateWithMs).toLatin1();
    row += ',';
    row += MeasurementSample::quantityName(sample.kind);
    row += ',';
    row += MeasurementSample::phaseName(sample.phase);
    row += ',';
    row += QByteArray::number(sample.value, 'f', kilo ? 3 : 2);
    row += ',';
    row += MeasurementSample::unit(sample.kind);
    row += '\n';
    return row;
}

bool MeasurementRecorder::start(const QString &path)
{
    stop();
    m_fileName = path;
    m_rows = 0;
    m_errorString.clear();
    auto file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly)) {
        m_errorString = QCoreApplication::translate("MeasurementRecorder", "Cannot write %1: %2")
                            .arg(path, file->errorString());
        return false;
    }
    const QByteArray firstLine = header();
    if (file->write(firstLine) != firstLine.size()) {
        m_errorString = QCoreApplication::translate("MeasurementRecorder", "Cannot write %1: %2")
                            .arg(path, file->errorString());
        file->cancelWriting();
        return false;
    }
    m_file = std::move(file);
    m_clock.start();
    return true;
}

bool MeasurementRecorder::record(const MeasurementSample &sample)
{
    if (!m_file)
        return false;
    const QByteArray row = formatRow(m_clock.elapsed(), QDateTime::currentDateTimeUtc(), sample);
    if (m_file->write(row) != row.size()) {
        m_errorString
            = QCoreApplication::translate("MeasurementRecorder",
                                          "Recording into %1 failed: %2; the file was not changed")
                  .arg(m_fileName, m_file->errorString());
        m_file->cancelWriting();
        m_file->commit();
        m_file.reset();
        return false;
    }
    ++m_rows;
    return true;
}

bool MeasurementRecorder::stop()
{
    if (!m_file)
        return true;
    const std::unique_ptr<QSaveFile> file = std::move(m_file);
    if (!file->commit()) {
        m_errorString
            = QCoreApplication::translate("MeasurementRecorder",
                                          "Recording into %1 failed: %2; the file was not changed")
                  .arg(m_fileName, file->errorString());
        return false;
    }
    return true;
}

} // namespace Application::K27
