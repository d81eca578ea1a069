#include "component/SoftwareUpdateComponent.h"

namespace Component::K27 {

SoftwareUpdateComponent::SoftwareUpdateComponent()
    : Component::Interfaces::AbstractComponent(ComponentId)
{
}

SoftwareUpdateComponent::~SoftwareUpdateComponent() = default;

void SoftwareUpdateComponent::onStart() { }

void SoftwareUpdateComponent::onStop() { }

} // namespace Component::K27
