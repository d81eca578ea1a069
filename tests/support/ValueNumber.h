#pragma once

#include "model/interfaces/ModelValueID.h"

#include <QtGlobal>

namespace TestSupport {

// A model value's identifier as a number, as the link carries it.
constexpr quint16 id(Model::Interfaces::ModelValueID value)
{
    return Model::Interfaces::toNumber(value);
}

} // namespace TestSupport
