#pragma once

#include "model/interfaces/ModelAction.h"
#include "model/interfaces/ModelActionID.h"
#include "model/interfaces/ModelRegistry.h"
#include "utilities/EventObserver.h"

#include <QtGlobal>

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
    void registerAction(ModelAction *action) { m_actions.add(action); }
    // Removes the action if present, keeping the order of the others.
    void unregisterAction(ModelAction *action) { m_actions.remove(action); }
    // The first registered action with the identifier, or null.
    ModelAction *findAction(quint16 id) const { return m_actions.find(id); }
    ModelAction *findAction(ModelActionID id) const { return findAction(toNumber(id)); }

    int actionCount() const { return m_actions.count(); }
    ModelAction *actionAt(int index) const { return m_actions.at(index); }

private:
    ModelRegistry<ModelAction, MaxActions> m_actions;
};

} // namespace Model::Interfaces
