#pragma once

#include <QtGlobal>

namespace Model::Interfaces {

// Polymorphic root of the model actions: commands without a value that the device carries
// out ("FireModelAction").
class ModelAction
{
public:
    ModelAction() = default;
    // The action registry holds the action's address.
    ModelAction(const ModelAction &) = delete;
    ModelAction &operator=(const ModelAction &) = delete;
    virtual ~ModelAction() = default;

    virtual void request() = 0;
    // The hook the action observer calls for a channel-25 event.
    virtual void send() = 0;
    // Asks the device to carry the action out.
    virtual void fire() = 0;

    virtual quint16 getId() const = 0;
    // Takes the action out of its registry before its group is torn down. Idempotent.
    virtual void leaveRegistry() = 0;
};

} // namespace Model::Interfaces
