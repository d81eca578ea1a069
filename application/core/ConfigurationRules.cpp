#include "application/core/ConfigurationRules.h"

#include "model/interfaces/ModelTypes.h"

#include <cmath>

namespace Application::K27 {

bool ConfigurationRules::nominalCurrentUnchanged(double edited, float current)
{
    return std::abs(edited - double(current)) < 0.05;
}

bool ConfigurationRules::thresholdUnchanged(double edited, float current)
{
    return edited == double(current);
}

bool ConfigurationRules::exceedsMaximum(float threshold, float maximum)
{
    return threshold > maximum;
}

QString ConfigurationRules::tripClassName(int index)
{
    if (index < 0 || index > 255)
        return QString();
    namespace Types = Model::Interfaces::ModelTypes;
    return QString::fromLatin1(
        Types::text(static_cast<Types::Settings::TripClass>(static_cast<quint8>(index))));
}

} // namespace Application::K27
