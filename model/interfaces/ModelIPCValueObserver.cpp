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
    const ModelValueIntf *value = findValue(id);
    return value == nullptr ? QByteArray() : value->toString();
}

} // namespace Model::Interfaces
