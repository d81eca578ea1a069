#pragma once

#include "application/core/Settings.h"
#include "utilities/EventObserver.h"

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QSharedPointer>
#include <QStringList>
#include <QTimer>

namespace Model::Database {
class ModelSettings;
} // namespace Model::Database

namespace Model::Observer {
class ModelValueObserver;
} // namespace Model::Observer

namespace Application::K27 {

// One import of a settings file into a device: writes the settings the file carries and waits
// until the device has reported each one back. Only what the device reported counts: the
// result lists each setting as the device reported it, and a setting the device did not report
// within the time-out is listed as not confirmed and makes the import a failure; the model then
// holds again what the device last reported for it. Shared by the device window and k27ctl.
//
// Attached to the model's value observer, it learns of every content after the value has
// stored it (on the GUI thread).
class SettingsImport
    : public QObject
    , public Utilities::Events::EventObserver
{
    Q_OBJECT

public:
    // How long the device has to report the settings back once they are written.
    static constexpr int defaultTimeoutMs = 3000;

    enum class Outcome {
        Idle, // not started
        Waiting, // written, not every setting reported back yet
        Confirmed, // every setting reported back as written
        Disagreed, // every setting reported back, some with another content than written
        NotConfirmed, // the time-out passed before every setting was reported back
    };

    SettingsImport(QSharedPointer<Model::Observer::ModelValueObserver> observer,
                   Model::Database::ModelSettings &model, int timeoutMs = defaultTimeoutMs);
    ~SettingsImport() override;

    // Sets and sends every setting the settings carry, in Settings::fieldOrder(), and waits
    // for the reports; finished() follows, never before start returns. Does nothing while an
    // import is waiting.
    void start(const Settings &settings);

    Outcome outcome() const { return m_outcome; }
    bool waiting() const { return m_outcome == Outcome::Waiting; }
    int timeoutMs() const { return m_timeoutMs; }
    // How many settings were written, and how many of them the device reported back.
    int written() const { return int(m_entries.size()); }
    int confirmed() const;
    // The settings not reported back in time, and those reported with another content.
    QList<Settings::Field> unconfirmed() const;
    QList<Settings::Field> disagreed() const;

    // One line per setting whose content the device reported changed ("Nominal current
    // 2.6 A → 3.0 A"), kept otherwise than written ("Nominal current 2.6 A, not 3.0 A: the
    // device kept another value") or did not report ("Nominal current 3.0 A: not confirmed by the
    // device"), in Settings::fieldOrder().
    QStringList lines() const;

    void update(uint32_t eventId, Utilities::Events::BaseEvent &event) override;

signals:
    void finished();

private:
    struct Entry
    {
        Settings::Field field;
        double before;
        double written;
        bool reported = false;
        double reportedValue = 0.0;
    };

    void handleTimeout();
    void finishWhenComplete();

    const QSharedPointer<Model::Observer::ModelValueObserver> m_observer;
    Model::Database::ModelSettings &m_model;
    const int m_timeoutMs;
    QTimer m_timer;
    QList<Entry> m_entries;
    Outcome m_outcome = Outcome::Idle;
    bool m_finishQueued = false;
};

} // namespace Application::K27
