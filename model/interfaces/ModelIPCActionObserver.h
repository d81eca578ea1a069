#pragma once

#include "model/interfaces/ModelAction.h"
#include "model/interfaces/ModelActionID.h"
#include "utilities/EventObserver.h"

#include <QtGlobal>
#include <array>
#include <mutex>

namespace Model::Interfaces {

// The registry of model actions by identifier, listening to channel 25. Actions enter it
// when they are constructed and leave it when they are destroyed; it owns none of them.
class ModelIPCActionObserver : public Utilities::Events::EventObserver
{
public:
    static constexpr int MaxActions = 13;

    ModelIPCActionObserver();
    ~ModelIPCActionObserver() override;

    // Appends the action unless it is null, already registered or the registry is full;
    // nothing is reported in those cases.
    void registerAction(ModelAction *action);
    // Removes the action if present, keeping the order of the others.
    void unregisterAction(ModelAction *action);
    // The first registered action with the identifier, or null.
    ModelAction *findAction(quint16 id) const;
    ModelAction *findAction(ModelActionID id) const { return findAction(toNumber(id)); }

    int actionCount() const;
    ModelAction *actionAt(int index) const;

protected:
    std::recursive_mutex &registryMutex() const { return m_mutex; }
    // Lookup without taking the lock; the caller holds registryMutex().
    ModelAction *findActionLocked(quint16 id) const;

private:
    int indexOf(const ModelAction *action) const;

    // The identifier is kept beside the pointer so that a lookup never calls into an action.
    struct Entry
    {
        quint16 id;
        ModelAction *action;
    };
    std::array<Entry, MaxActions> m_actions {};
    int m_actionCount = 0;
    mutable std::recursive_mutex m_mutex;
};

} // namespace Model::Interfaces
