#pragma once

#include "model/database/HousingLightingValues.h"
#include "model/interfaces/Model.h"

namespace Model::Database {

// Group 4 of the model database: the housing lighting.
class ModelHousingLighting final : public Model::Interfaces::Model
{
public:
    static constexpr quint32 GroupNumber = 4;

    ModelHousingLighting(Component::Interfaces::AbstractApplication *application,
                         ::Model::Interfaces::ModelIPCValueObserver *observer);
    ~ModelHousingLighting() override;

    HousingLighting::EdgeValue &edge() { return m_edge; }
    HousingLighting::BrightnessRedValue &brightnessRed() { return m_brightnessRed; }
    HousingLighting::BrightnessYellowValue &brightnessYellow() { return m_brightnessYellow; }
    HousingLighting::HousingTypeValue &housingType() { return m_housingType; }

private:
    HousingLighting::EdgeValue m_edge;
    HousingLighting::BrightnessRedValue m_brightnessRed;
    HousingLighting::BrightnessYellowValue m_brightnessYellow;
    HousingLighting::HousingTypeValue m_housingType;
};

} // namespace Model::Database
