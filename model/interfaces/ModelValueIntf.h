#pragma once

#include "component/ZantLinkPacket.h"

#include <QByteArray>
#include <QtGlobal>

namespace Model::Interfaces {

// Polymorphic root of every model value: what the observer, the groups and the
// service-mode terminal need without knowing the content type.
class ModelValueIntf
{
public:
    ModelValueIntf() = default;
    // Registries and groups hold the value's address; a copy would not be entered anywhere.
    ModelValueIntf(const ModelValueIntf &) = delete;
    ModelValueIntf &operator=(const ModelValueIntf &) = delete;
    virtual ~ModelValueIntf() = default;

    // Asks the device for the content ("GetModelValue").
    virtual void request() = 0;
    // Writes the content to the device ("SetModelValue").
    virtual void send() = 0;
    // Takes a content out of a received "SetModelValue" argument. An argument whose width
    // does not fit the content type (Codec::fitsWidth) is no content: nothing is stored and
    // the result is false.
    virtual bool receive(const Component::Interfaces::ZantLinkPacket::Argument &argument) = 0;
    // The content as display text; empty for values without a text form.
    virtual QByteArray toString() const = 0;
    // Back to the content the value had at construction.
    virtual void reset() = 0;

    virtual quint16 getId() const = 0;
    // Bytes the content occupies on the link: 1, 2 or 4.
    virtual int linkWidth() const = 0;
    // Takes the value out of its registry before its group is torn down, so that no
    // content from the device is routed to a value being destroyed. Idempotent.
    virtual void leaveRegistry() = 0;
};

} // namespace Model::Interfaces
