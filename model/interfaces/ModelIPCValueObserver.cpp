#include "model/interfaces/ModelIPCValueObserver.h"

#include "model/interfaces/ModelValueEvent.h"

#include <algorithm>

namespace Model::Interfaces {

using Lock = std::lock_guard<std::recursive_mutex>;

ModelIPCValueObserver::ModelIPCValueObserver()
    : EventObserver(ModelValueEvent::Channel, EventObserver::AllTypes)
{
}

ModelIPCValueObserver::~ModelIPCValueObserver() = default;

void ModelIPCValueObserver::registerValue(ModelValueIntf *value)
{
    const Lock lock(m_mutex);
    if (value == nullptr || m_valueCount == MaxValues || indexOf(value) >= 0)
        return;
    m_values[m_valueCount++] = {value->getId(), value};
}

void ModelIPCValueObserver::unregisterValue(ModelValueIntf *value)
{
    const Lock lock(m_mutex);
    const int index = indexOf(value);
    if (index < 0)
        return;
    std::copy(m_values.begin() + index + 1, m_values.begin() + m_valueCount,
              m_values.begin() + index);
    m_values[--m_valueCount] = {};
}

ModelValueIntf *ModelIPCValueObserver::findValue(quint16 id) const
{
    const Lock lock(m_mutex);
    return findValueLocked(id);
}

ModelValueIntf *ModelIPCValueObserver::findValueLocked(quint16 id) const
{
    const auto end = m_values.begin() + m_valueCount;
    const auto found
        = std::find_if(m_values.begin(), end, [id](const Entry &entry) { return entry.id == id; });
    return found == end ? nullptr : found->value;
}

int ModelIPCValueObserver::indexOf(const ModelValueIntf *value) const
{
    for (int index = 0; index < m_valueCount; ++index) {
        if (m_values[index].value == value)
            return index;
    }
    return -1;
}

QByteArray ModelIPCValueObserver::valueText(quint16 id) const
{
    const Lock lock(m_mutex);
    const ModelValueIntf *value = findValueLocked(id);
    return value == nullptr ? QByteArray() : value->toString();
}

int ModelIPCValueObserver::valueCount() const
{
    const Lock lock(m_mutex);
    return m_valueCount;
}

ModelValueIntf *ModelIPCValueObserver::valueAt(int index) const
{
    const Lock lock(m_mutex);
    return index >= 0 && index < m_valueCount ? m_values[index].value : nullptr;
}

} // namespace Model::Interfaces
