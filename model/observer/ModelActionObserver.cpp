#include "model/observer/ModelActionObserver.h"

#include "model/interfaces/ModelActionEvent.h"

namespace Model::Observer {

using Model::Interfaces::ModelActionEvent;

ModelActionObserver::ModelActionObserver() = default;

ModelActionObserver::~ModelActionObserver() = default;

void ModelActionObserver::update(uint32_t eventId, Utilities::Events::BaseEvent &event)
{
    if (eventId != ModelActionEvent::Channel)
        return;
    const auto *actionEvent = dynamic_cast<const ModelActionEvent *>(&event);
    if (actionEvent == nullptr || actionEvent->getType() != ModelActionEvent::Fire)
        return;
    if (Model::Interfaces::ModelAction *action = findAction(actionEvent->getId()))
        action->send();
}

} // namespace Model::Observer
