#include "application/core/ReportedSettings.h"

#include "application/core/Settings.h"
#include "application/core/SettingsTransfer.h"
#include "component/SerialPort.h"
#include "model/interfaces/ModelValueEvent.h"
#include "model/observer/ModelValueObserver.h"

#include <algorithm>
#include <utility>

namespace Application::K27 {

using Model::Interfaces::ModelValueEvent;
using Model::Interfaces::ModelValueID;

ReportedSettings::ReportedSettings(QSharedPointer<Model::Observer::ModelValueObserver> observer,
                                   const QSharedPointer<SerialPort> &port)
    : Utilities::Events::EventObserver(ModelValueEvent::Channel)
    , m_observer(std::move(observer))
{
    if (m_observer)
        m_observer->attach(this);
    if (port) {
        SerialPort *const watched = port.data();
        m_portState = QObject::connect(watched, &SerialPort::openStateChanged, [this, watched] {
            if (!watched->isOpen())
                m_arrived.clear();
        });
    }
}

ReportedSettings::~ReportedSettings()
{
    QObject::disconnect(m_portState);
    if (m_observer)
        m_observer->detach(this);
}

void ReportedSettings::update(uint32_t eventId, Utilities::Events::BaseEvent &event)
{
    const auto *valueEvent = dynamic_cast<const ModelValueEvent *>(&event);
    if (eventId != ModelValueEvent::Channel || valueEvent == nullptr
        || valueEvent->getType() != ModelValueEvent::ReceivedFromDevice)
        return;
    m_arrived.insert(valueEvent->getId());
    if (m_whenComplete && complete())
        std::exchange(m_whenComplete, nullptr)();
}

void ReportedSettings::whenComplete(std::function<void()> callback)
{
    m_whenComplete = std::move(callback);
    if (m_whenComplete && complete())
        std::exchange(m_whenComplete, nullptr)();
}

bool ReportedSettings::arrived(ModelValueID value) const
{
    return m_arrived.contains(Model::Interfaces::toNumber(value));
}

bool ReportedSettings::complete() const
{
    const auto &fields = Settings::fieldOrder();
    return std::all_of(
               fields.cbegin(), fields.cend(),
               [this](Settings::Field field) { return arrived(SettingsTransfer::valueId(field)); })
        && arrived(ModelValueID::TripClassMax) && arrived(ModelValueID::NominalCurrentMax);
}

} // namespace Application::K27
