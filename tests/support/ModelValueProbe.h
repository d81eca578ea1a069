#pragma once

#include "model/interfaces/ModelDisplayValue.h"
#include "model/interfaces/ModelTypes.h"

#include <QString>

namespace TestSupport {

// What a test can say about a display value without knowing its content type: the type's
// name as the catalogue writes it, and default, minimum and maximum as numbers.
struct ModelValueProbe
{
    bool found = false;
    QString typeName;
    bool isFloat = false;
    double defaultValue = 0;
    double minimum = 0;
    double maximum = 0;
    double value = 0;
    double lowerNeighbour = 0;
    double upperNeighbour = 0;
};

ModelValueProbe probeValue(Model::Interfaces::ModelValueIntf *value);

} // namespace TestSupport
