#include "model/interfaces/ModelIPCValueObserver.h"

#include "model/interfaces/ModelValueEvent.h"

namespace Model::Interfaces {

ModelIPCValueObserver::ModelIPCValueObserver()
    : EventObserver(ModelValueEvent::Channel, EventObserver::AllTypes)
{
}

ModelIPCValueObserver::~ModelIPCValueObserver() = default;

QByteArray ModelIPCValueObserver::valueText(quint16 id) const
{
    const std::lock_guard<std::recursive_mutex> lock(registryMutex());
    const ModelValueIntf *value = findValueLocked(id);
    return value == nullptr ? QByteArray() : value->toString();
}

} // namespace Model::Interfaces
