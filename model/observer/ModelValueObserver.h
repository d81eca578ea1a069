#pragma once

#include "model/interfaces/ModelIPCValueObserver.h"
#include "utilities/EventSubject.h"

namespace Model::Observer {

// Routes model value events to the registered values and republishes every content it has
// stored on its own subject, so that whoever watches the model learns of it afterwards.
class ModelValueObserver
    : public Model::Interfaces::ModelIPCValueObserver
    , public Utilities::Events::EventSubject
{
public:
    ModelValueObserver();
    ~ModelValueObserver() override;

    // Channel 24 only. Type 1: the value writes itself to the device. Type 2: the value takes
    // the content out of the event's argument, then the event is republished on channel 24.
    // A content whose width does not fit the value's type is dropped: the event is marked
    // refused and not republished. Events for identifiers without a registered value change
    // nothing and are not republished.
    void update(uint32_t eventId, Utilities::Events::BaseEvent &event) override;
};

} // namespace Model::Observer
