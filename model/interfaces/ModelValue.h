#pragma once

#include "model/interfaces/ModelValueCodec.h"
#include "model/interfaces/ModelValueIntf.h"

namespace Model::Interfaces {

// A model value with a content of type T, one of the twenty content types of the model.
template<typename T> class ModelValue : public ModelValueIntf
{
    static_assert(Codec::isModelType<T>, "not a model content type");

public:
    using ValueType = T;

    // Stores the content as given; the model checks no ranges.
    virtual void setValue(const T &content) = 0;
    // A copy of the current content (GUI thread only, like every content access).
    virtual T value() const = 0;

    int linkWidth() const override { return Codec::linkWidth<T>(); }
};

} // namespace Model::Interfaces
