#include "application/core/UpdateVerdict.h"

namespace Application::K27 {

UpdateVerdict UpdateVerdict::decide(const Facts &facts)
{
    if (!facts.packageVersion)
        return UpdateVerdict(facts.skipVersionCheck ? Kind::CheckSkipped : Kind::NoPlatformImage);
    if (facts.deviceVersion < *facts.packageVersion)
        return UpdateVerdict(Kind::Newer);
    if (facts.skipVersionCheck)
        return UpdateVerdict(Kind::CheckSkipped);
    if (facts.demoMode && facts.operatingMode == demoOperatingMode)
        return UpdateVerdict(Kind::DemoOperatingMode);
    return UpdateVerdict(Kind::NotNewer);
}

bool UpdateVerdict::mayInstall() const
{
    switch (m_kind) {
    case Kind::Newer:
    case Kind::CheckSkipped:
    case Kind::DemoOperatingMode:
        return true;
    case Kind::NotNewer:
    case Kind::NoPlatformImage:
        break;
    }
    return false;
}

QString UpdateVerdict::text() const
{
    switch (m_kind) {
    case Kind::Newer:
    case Kind::CheckSkipped:
    case Kind::DemoOperatingMode:
        break;
    case Kind::NotNewer:
        return tr("Software downgrade is not allowed! ");
    case Kind::NoPlatformImage:
        return tr("No platform firmware to compare: update not allowed! ");
    }
    return tr("New Firmware: ");
}

} // namespace Application::K27
