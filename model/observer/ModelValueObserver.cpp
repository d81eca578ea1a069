#include "model/observer/ModelValueObserver.h"

#include "model/interfaces/ModelThread.h"
#include "model/interfaces/ModelValueEvent.h"

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
    case ModelValueEvent::SendToDevice:
        if (Model::Interfaces::ModelValueIntf *value = findValue(valueEvent->getId()))
            value->send();
        break;
    case ModelValueEvent::ReceivedFromDevice: {
        // Contents are stored and announced on the GUI thread only (see ModelIPCValue.h); a
        // packet routed here from another thread reaches neither the value nor the windows.
        if (!Model::Interfaces::ModelThread::check(valueEvent->getId()))
            return;
        Model::Interfaces::ModelValueIntf *value = findValue(valueEvent->getId());
        if (value == nullptr)
            return;
        value->receive(valueEvent->getArgument());
        notify(ModelValueEvent::Channel, event);
        break;
    }
    default:
        break;
    }
}

} // namespace Model::Observer
