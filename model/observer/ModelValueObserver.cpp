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
    auto *valueEvent = dynamic_cast<ModelValueEvent *>(&event);
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
        // A content of the wrong width is no content: the value keeps what it had and
        // nobody is told of a change.
        if (!value->receive(valueEvent->getArgument())) {
            valueEvent->markRefused();
            return;
        }
        notify(ModelValueEvent::Channel, event);
        break;
    }
    default:
        break;
    }
}

} // namespace Model::Observer
