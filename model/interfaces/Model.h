#pragma once

#include "utilities/NonCopyable.h"

#include <QtGlobal>
#include <array>
#include <initializer_list>

namespace Component::Interfaces {
class AbstractApplication;
} // namespace Component::Interfaces

namespace Model::Interfaces {

class ModelValueIntf;

// Base of the value groups of the model database. A group holds its values as direct
// members and knows the order in which they are requested from the device.
class Model : public Utilities::NonCopyable
{
public:
    // The largest group, the settings, has 24 values.
    static constexpr int MaxValues = 24;

    Model(Component::Interfaces::AbstractApplication *application, quint32 groupNumber);
    virtual ~Model();

    // request() of each value on the request list, in list order.
    virtual void requestAll();
    // reset() of the same values in the same order.
    virtual void resetAll();

    Component::Interfaces::AbstractApplication *getApplication() const { return m_application; }
    quint32 getGroupNumber() const { return m_groupNumber; }

    // The group's values in member order.
    int memberCount() const { return m_memberCount; }
    ModelValueIntf *memberAt(int index) const;

    int requestListSize() const { return m_requestCount; }
    ModelValueIntf *requestListAt(int index) const;

protected:
    // Called by the derived group's constructor, once its members exist.
    void setMembers(std::initializer_list<ModelValueIntf *> members);
    void setRequestList(std::initializer_list<ModelValueIntf *> requestList);
    // Called first in the derived group's destructor: every member leaves the registry while
    // all of it is still intact, so no content from the device reaches a half-destroyed value.
    void leaveRegistry();

private:
    Component::Interfaces::AbstractApplication *const m_application;
    const quint32 m_groupNumber;
    std::array<ModelValueIntf *, MaxValues> m_members {};
    int m_memberCount = 0;
    std::array<ModelValueIntf *, MaxValues> m_requestList {};
    int m_requestCount = 0;
};

} // namespace Model::Interfaces
