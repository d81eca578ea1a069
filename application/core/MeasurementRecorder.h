#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QString>
#include <memory>

namespace Model::Database {
class ModelDatabase;
} // namespace Model::Database

namespace Application::K27 {

// One live measurement as the device delivered it: what was measured, the phase it belongs
// to, and the value in the unit the Data page shows (volts, amperes, kilo-units for powers).
struct MeasurementSample
{
    enum class Kind { Voltage, Current, ActivePower, ReactivePower, ApparentPower };

    Kind kind = Kind::Voltage;
    // 0 L1, 1 L2, 2 L3; -1 for the powers, which belong to no phase.
    int phase = -1;
    double value = 0.0;

    // The content the model holds now, read when the value's signal arrives (GUI thread).
    static MeasurementSample fromModel(Model::Database::ModelDatabase &database, Kind kind,
                                       int phase = -1);
    // "voltage", "current", "active power", "reactive power", "apparent power".
    static QByteArray quantityName(Kind kind);
    // "V", "A", "kW", "kVAr", "kVA".
    static QByteArray unit(Kind kind);
    // "L1", "L2", "L3"; empty for no phase.
    static QByteArray phaseName(int phase);
};

// Writes live measurements to a CSV file, one row per measurement:
//
//   elapsed_ms,time,quantity,phase,value,unit
//   0,2026-12-10T14:02:03.456Z,voltage,L1,230.40,V
//
// elapsed_ms counts from the start of the recording, time is UTC. The rows go to a temporary
// file beside the chosen one that replaces it only when the recording stops (also when the
// recorder is destroyed): a reader never sees half a recording, and a recording that stops
// because the device went away is as complete as one the user stopped.
class MeasurementRecorder
{
public:
    MeasurementRecorder();
    // Commits a running recording.
    ~MeasurementRecorder();
    MeasurementRecorder(const MeasurementRecorder &) = delete;
    MeasurementRecorder &operator=(const MeasurementRecorder &) = delete;

    // The first line of every recording, with its line end.
    static QByteArray header();
    // One row, with its line end.
    static QByteArray formatRow(qint64 elapsedMs, const QDateTime &time,
                                const MeasurementSample &sample);

    // Starts a recording into path (the header is written at once). A running recording is
    // committed first. False, with the reason in errorString(), when the file cannot be made.
    bool start(const QString &path);
    // Appends one row stamped now. False (and the recording abandoned, the file left as it
    // was) when the row cannot be written; errorString() says why.
    bool record(const MeasurementSample &sample);
    // Commits the recording: the file holds every row recorded. False, with the reason, when
    // the file could not be written in full; nothing is then left behind but what was there
    // before. Nothing happens without a recording.
    bool stop();

    bool isRecording() const { return m_file != nullptr; }
    // The file of the running or last recording.
    QString fileName() const { return m_fileName; }
    // Rows recorded by the running or last recording.
    qint64 rowCount() const { return m_rows; }
    QString errorString() const { return m_errorString; }

private:
    std::unique_ptr<QSaveFile> m_file;
    QElapsedTimer m_clock;
    QString m_fileName;
    QString m_errorString;
    qint64 m_rows = 0;
};

} // namespace Application::K27
