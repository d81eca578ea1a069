#include "model/interfaces/Model.h"

#include "model/interfaces/ModelValueIntf.h"

namespace Model::Interfaces {

Model::Model(Component::Interfaces::AbstractApplication *application, quint32 groupNumber)
    : m_application(application)
    , m_groupNumber(groupNumber)
{
}

Model::~Model() = default;

void Model::requestAll()
{
    for (int index = 0; index < m_requestCount; ++index)
        m_requestList[index]->request();
}

void Model::resetAll()
{
    for (int index = 0; index < m_requestCount; ++index)
        m_requestList[index]->reset();
}

ModelValueIntf *Model::memberAt(int index) const
{
    return index >= 0 && index < m_memberCount ? m_members[index] : nullptr;
}

ModelValueIntf *Model::requestListAt(int index) const
{
    return index >= 0 && index < m_requestCount ? m_requestList[index] : nullptr;
}

void Model::setMembers(std::initializer_list<ModelValueIntf *> members)
{
    Q_ASSERT(members.size() <= m_members.size());
    m_memberCount = 0;
    for (ModelValueIntf *member : members) {
        if (m_memberCount < MaxValues)
            m_members[m_memberCount++] = member;
    }
}

void Model::setRequestList(std::initializer_list<ModelValueIntf *> requestList)
{
    Q_ASSERT(requestList.size() <= m_requestList.size());
    m_requestCount = 0;
    for (ModelValueIntf *value : requestList) {
        if (m_requestCount < MaxValues)
            m_requestList[m_requestCount++] = value;
    }
}

void Model::leaveRegistry()
{
    for (int index = 0; index < m_memberCount; ++index)
        m_members[index]->leaveRegistry();
}

} // namespace Model::Interfaces
