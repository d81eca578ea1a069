#include "model/interfaces/ModelIPCActionObserver.h"

#include "model/interfaces/ModelActionEvent.h"

#include <algorithm>

namespace Model::Interfaces {

using Lock = std::lock_guard<std::recursive_mutex>;

ModelIPCActionObserver::ModelIPCActionObserver()
    : EventObserver(ModelActionEvent::Channel, EventObserver::AllTypes)
{
}

ModelIPCActionObserver::~ModelIPCActionObserver() = default;

void ModelIPCActionObserver::registerAction(ModelAction *action)
{
    const Lock lock(m_mutex);
    if (action == nullptr || m_actionCount == MaxActions || indexOf(action) >= 0)
        return;
    m_actions[m_actionCount++] = {action->getId(), action};
}

void ModelIPCActionObserver::unregisterAction(ModelAction *action)
{
    const Lock lock(m_mutex);
    const int index = indexOf(action);
    if (index < 0)
        return;
    std::copy(m_actions.begin() + index + 1, m_actions.begin() + m_actionCount,
              m_actions.begin() + index);
    m_actions[--m_actionCount] = {};
}

ModelAction *ModelIPCActionObserver::findAction(quint16 id) const
{
    const Lock lock(m_mutex);
    return findActionLocked(id);
}

ModelAction *ModelIPCActionObserver::findActionLocked(quint16 id) const
{
    const auto end = m_actions.begin() + m_actionCount;
    const auto found
        = std::find_if(m_actions.begin(), end, [id](const Entry &entry) { return entry.id == id; });
    return found == end ? nullptr : found->action;
}

int ModelIPCActionObserver::indexOf(const ModelAction *action) const
{
    for (int index = 0; index < m_actionCount; ++index) {
        if (m_actions[index].action == action)
            return index;
    }
    return -1;
}

int ModelIPCActionObserver::actionCount() const
{
    const Lock lock(m_mutex);
    return m_actionCount;
}

ModelAction *ModelIPCActionObserver::actionAt(int index) const
{
    const Lock lock(m_mutex);
    return index >= 0 && index < m_actionCount ? m_actions[index].action : nullptr;
}

} // namespace Model::Interfaces
