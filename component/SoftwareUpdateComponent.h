#pragma once

#include "component/AbstractComponent.h"

namespace Component::K27 {

// Component 2, reserved for the software update; it holds nothing and its start and stop do
// nothing. The update runs without it.
class SoftwareUpdateComponent : public Component::Interfaces::AbstractComponent
{
public:
    static constexpr uint32_t ComponentId = 2;

    SoftwareUpdateComponent();
    ~SoftwareUpdateComponent() override;

    void onStart() override;
    void onStop() override;
};

} // namespace Component::K27
