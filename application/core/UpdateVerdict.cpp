#include "application/core/UpdateVerdict.h"

#include "application/core/Application.h"
#include "application/core/ControllerStates.h"
#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelTypes.h"
#include "service/PackageUpdateService.h"
#include "service/VersionParser.h"
#include "utilities/VersionText.h"

namespace Application::K27 {

namespace {
QString versionString(quint32 packedVersion)
{
    return QString::fromLatin1(Utilities::versionText(packedVersion));
}
} // namespace

UpdateVerdict UpdateVerdict::decide(const Facts &facts)
{
    if (!facts.platformBootloader && motorRuns(facts.operatingMode))
        return {Kind::MotorRuns, facts};
    if (facts.platformBootloader || facts.displayBootloader)
        return {Kind::VersionUnknown, facts};
    if (!facts.packageVersion)
        return {facts.skipVersionCheck ? Kind::NothingToCompare : Kind::NoPlatformImage, facts};
    if (facts.deviceVersion < *facts.packageVersion)
        return {Kind::Newer, facts};
    return {facts.skipVersionCheck ? Kind::NotNewerConfirmed : Kind::NotNewer, facts};
}

UpdateVerdict UpdateVerdict::decide(Application &application, bool skipVersionCheck)
{
    Facts facts;
    const QSharedPointer<Service::K27::VersionParser> &manifest
        = application.packageUpdateService()->versionParser();
    // Only an image that will be sent has a version to compare.
    if (manifest != nullptr && !manifest->platformApplication().path().isEmpty())
        facts.packageVersion = manifest->platformApplication().number();
    Model::Database::ModelDatabase &model = *application.database();
    facts.deviceVersion = quint32(model.information().platformVersion().value());
    facts.operatingMode = quint32(model.operation().operatingMode().value());
    const ControllerStates &controllers = *application.controllerStates();
    facts.platformBootloader = controllers.runsBootloader(ControllerStates::Platform);
    facts.displayBootloader = controllers.runsBootloader(ControllerStates::Display);
    facts.skipVersionCheck = skipVersionCheck;
    return decide(facts);
}

bool UpdateVerdict::motorRuns(quint32 operatingMode)
{
    using Mode = Model::Interfaces::ModelTypes::Operation::Mode;
    return operatingMode == quint32(Mode::Forward) || operatingMode == quint32(Mode::Backward);
}

bool UpdateVerdict::mayInstall() const
{
    switch (m_kind) {
    case Kind::Newer:
    case Kind::VersionUnknown:
    case Kind::NotNewerConfirmed:
    case Kind::NothingToCompare:
        return true;
    case Kind::MotorRuns:
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
    case Kind::NothingToCompare:
        break;
    case Kind::VersionUnknown:
        return tr("The version on the device is unknown: its last update did not finish. "
                  "New Firmware: ");
    case Kind::NotNewerConfirmed:
        //: %1 is the device's platform firmware version ("V1.0.0.0")
        return tr("Not newer than the device's %1: ").arg(versionString(m_facts.deviceVersion));
    case Kind::MotorRuns:
        return tr("Stop the motor first");
    case Kind::NotNewer:
        return tr("Software downgrade is not allowed! ");
    case Kind::NoPlatformImage:
        return tr("No platform firmware to compare: update not allowed! ");
    }
    return tr("New Firmware: ");
}

QString UpdateVerdict::confirmationTitle() const
{
    return tr("Install older firmware");
}

QString UpdateVerdict::confirmationText() const
{
    //: %1 is the package's platform firmware version, %2 the device's ("V1.0.0.0")
    return tr("The package's platform firmware %1 is not newer than the device's %2. "
              "Install it anyway?")
        .arg(versionString(m_facts.packageVersion.value_or(0)),
             versionString(m_facts.deviceVersion));
}

} // namespace Application::K27
