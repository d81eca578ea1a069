#include "model/observer/ModelValueObserver.h"

#include "model/interfaces/ModelValueEvent.h"

#include <mutex>

namespace Model::Observer {

using Model::Interfaces::ModelValueEvent;

ModelValueObserver::ModelValueObserver() = default;

ModelValueObserver::~ModelValueObserver() = default;

void ModelValueObserver::update(uint32_t eventId, Utilities::Events::BaseEvent &event)
{
    if (eventId != ModelValueEvent::Channel)
        return;
    const auto *valueEvent = dynamic_cast<const ModelValueEvent *>(&event);
    if (valueEvent == nullptr)
        return;

    switch (valueEvent->getType()) {
    case ModelValueEvent::SendToDevice: {
        const std::lock_guard<std::recursive_mutex> lock(registryMutex());
        if (Model::Interfaces::ModelValueIntf *value = findValueLocked(valueEvent->getId()))
            value->send();
        break;
    }
    case ModelValueEvent::ReceivedFromDevice: {
        {
            // Held while the content is stored: the value cannot leave the registry (and be
            // destroyed) in between.
            const std::lock_guard<std::recursive_mutex> lock(registryMutex());
            Model::Interfaces::ModelValueIntf *value = findValueLocked(valueEvent->getId());
            if (value == nullptr)
                return;
            value->receive(valueEvent->getArgument());
        }
        notify(ModelValueEvent::Channel, event);
        break;
    }
    default:
        break;
    }
}

} // namespace Model::Observer
