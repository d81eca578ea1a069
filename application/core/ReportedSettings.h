#pragma once

#include "model/interfaces/ModelValueID.h"
#include "utilities/EventObserver.h"

#include <QMetaObject>
#include <QSet>
#include <QSharedPointer>
#include <functional>

namespace Model::Observer {
class ModelValueObserver;
} // namespace Model::Observer

namespace Application::K27 {

class SerialPort;

// Whether the device has reported its settings: every value the settings file carries, and the
// two maxima its ranges depend on, has arrived from the device since the port opened. Until
// then the model holds the catalogue's defaults, which are no device's settings, so neither an
// export nor the range checks of an import may rely on it. A port that closes forgets what
// arrived: the device plugged in next may be another one.
//
// Attached to the model's value observer, it learns of every content after the value has
// stored it (on the GUI thread).
class ReportedSettings : public Utilities::Events::EventObserver
{
public:
    // port may be null (a window without a device port): then nothing ever arrives.
    ReportedSettings(QSharedPointer<Model::Observer::ModelValueObserver> observer,
                     const QSharedPointer<SerialPort> &port);
    ~ReportedSettings() override;

    void update(uint32_t eventId, Utilities::Events::BaseEvent &event) override;

    // Every setting of the settings file and "TripClassMax" and "NominalCurrentMax" arrived.
    bool complete() const;
    // Whether the device reported the value since the port opened.
    bool arrived(Model::Interfaces::ModelValueID value) const;

    // Called once, by the report that completes the settings (at once when they are complete
    // already). The observer is still telling others of that report then: anything that
    // writes to the device or lets go of this object is to be done from the event loop.
    void whenComplete(std::function<void()> callback);

private:
    const QSharedPointer<Model::Observer::ModelValueObserver> m_observer;
    QMetaObject::Connection m_portState;
    QSet<quint16> m_arrived;
    std::function<void()> m_whenComplete;
};

} // namespace Application::K27
