#pragma once

#include "model/interfaces/ModelIPCActionObserver.h"
#include "utilities/EventSubject.h"

namespace Model::Observer {

// Routes model action events to the registered actions.
class ModelActionObserver
    : public Model::Interfaces::ModelIPCActionObserver
    , public Utilities::Events::EventSubject
{
public:
    ModelActionObserver();
    ~ModelActionObserver() override;

    // Channel 25, type 1 only: calls the action's send hook. The actions of this system
    // take effect only when fired by their callers, so the hook does nothing.
    void update(uint32_t eventId, Utilities::Events::BaseEvent &event) override;
};

} // namespace Model::Observer
