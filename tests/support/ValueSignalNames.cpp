#include "ValueSignalNames.h"

namespace TestSupport {

const QMap<quint16, QByteArray> &valueSignalNames()
{
    static const QMap<quint16, QByteArray> names {
        {0, "tripClassModelValue"},
        {1, "tripClassMaxModelValue"},
        {2, "nominalCurrentModelValue"},
        {3, "nominalCurrentMaxModelValue"},
        {4, "softstartEnableModelValue"},
        {10, "operatingModeModelValue"},
        {17, "faultTypeModelValue"},
        {18, "faultTypeModelValue"},
        {20, "measurementPhaseModelValue"},
        {25, "undercurrentEnableModelValue"},
        {26, "undercurrentThresholdModelValue"},
        {27, "undercurrentFaultTypeModelValue"},
        {28, "undervoltageEnableModelValue"},
        {29, "undervoltageThresholdModelValue"},
        {30, "undervoltageFaultTypeModelValue"},
        {31, "overvoltageEnableModelValue"},
        {32, "overvoltageThresholdModelValue"},
        {33, "overvoltageFaultTypeModelValue"},
        {34, "measurementVoltageModelValue"},
        {35, "measurementCurrentModelValue"},
        {36, "measurementActivePowerModelValue"},
        {37, "measurementApparentPowerModelValue"},
        {38, "measurementReactivePowerModelValue"},
        {39, "platformVersionModelValue"},
        {40, "hardwareRevisionModelValue"},
        {41, "hardwareRevisionModelValue"},
        {42, "hardwareRevisionModelValue"},
        {43, "overloadResetModelValue"},
        {45, "serialNumberModelValue"},
        {46, "articleNumberModelValue"},
        {47, "articleNumberModelValue"},
        {52, "loadAsymmetryEnableModelValue"},
        {53, "loadAsymmetryThresholdModelValue"},
        {54, "loadAsymmetryFaultTypeModelValue"},
    };
    return names;
}

} // namespace TestSupport
