#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>

namespace Application::K27 {

class Application;

// Whether an update package may be installed on a device, and why. The package's platform
// software decides: the device runs it after the update, and the display's software comes with
// it. The device window's update panel and k27ctl both ask here; neither compares versions of
// its own.
//
// Nothing is installed while the motor runs: the platform stops switching it for the whole
// update. A device whose last update did not finish (a controller runs its bootloader) reports
// no version, so any valid package may complete it. A package that is not newer goes only to a
// user who may skip the version check, and only once confirmed: the Admin's Yes in the window,
// --allow-downgrade in k27ctl. Nothing else (the Demo page's simulated states included) changes
// what may be installed.
class UpdateVerdict
{
    Q_DECLARE_TR_FUNCTIONS(UpdateVerdict)

public:
    enum class Kind {
        Newer, // the package's platform software is newer than the device's
        VersionUnknown, // a controller runs its bootloader: its last update did not finish
        NotNewerConfirmed, // not newer, but the check may be skipped once confirmed
        NothingToCompare, // no platform image to compare, but the check may be skipped
        MotorRuns, // refused: the motor runs
        NotNewer, // refused: the package's platform software is not newer than the device's
        NoPlatformImage, // refused: the package holds no platform software to compare
    };

    // What the verdict is decided from.
    struct Facts
    {
        // The packed version of the package's platform application image; none when the
        // package holds no platform image (a display-only package).
        std::optional<quint32> packageVersion;
        // The device's platform software, packed the same way.
        quint32 deviceVersion = 0;
        // The platform or the display runs its bootloader (answered "GetName" with
        // "Bootloader"): its software is not known. A platform in its bootloader switches no
        // motor.
        bool platformBootloader = false;
        bool displayBootloader = false;
        // The device's operating mode (the model value OperatingMode).
        quint32 operatingMode = 0;
        // The version check may be skipped: the Admin right in the window, --allow-downgrade
        // in k27ctl. The only way to install a package that is not newer, or one without a
        // platform image.
        bool skipVersionCheck = false;
    };

    static UpdateVerdict decide(const Facts &facts);
    // The verdict for the package the device application's package service holds, from what
    // the device reported: its platform software, its operating mode and whether a controller
    // answered "GetName" with "Bootloader".
    static UpdateVerdict decide(Application &application, bool skipVersionCheck);

    // Whether the operating mode switches the motor (forwards or backwards); idle and the
    // safety stop do not.
    static bool motorRuns(quint32 operatingMode);

    Kind kind() const { return m_kind; }
    const Facts &facts() const { return m_facts; }
    bool mayInstall() const;
    // Whether the user confirms before the update starts: the package is not newer.
    bool needsConfirmation() const { return m_kind == Kind::NotNewerConfirmed; }
    // The verdict as the update panel shows it before the package's version: "New Firmware: "
    // for a package that may be installed, otherwise why not.
    QString text() const;
    // The question an Admin answers before a package that is not newer is installed, naming
    // both versions.
    QString confirmationTitle() const;
    QString confirmationText() const;

private:
    UpdateVerdict(Kind kind, const Facts &facts)
        : m_kind(kind)
        , m_facts(facts)
    {
    }

    Kind m_kind;
    Facts m_facts;
};

} // namespace Application::K27
