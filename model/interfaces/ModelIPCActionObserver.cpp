#include "model/interfaces/ModelIPCActionObserver.h"

#include "model/interfaces/ModelActionEvent.h"

namespace Model::Interfaces {

ModelIPCActionObserver::ModelIPCActionObserver()
    : EventObserver(ModelActionEvent::Channel, EventObserver::AllTypes)
{
}

ModelIPCActionObserver::~ModelIPCActionObserver() = default;

} // namespace Model::Interfaces
