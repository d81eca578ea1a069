#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>

namespace Application::K27 {

// Whether an update package may be installed on a device, and why. The package's platform
// software decides: the device runs it after the update, and the display's software comes with
// it. The device window's update panel and k27ctl both ask here; neither compares versions of
// its own.
class UpdateVerdict
{
    Q_DECLARE_TR_FUNCTIONS(UpdateVerdict)

public:
    enum class Kind {
        Newer, // the package's platform software is newer than the device's
        CheckSkipped, // not newer, or nothing to compare, but the check may be skipped
        DemoOperatingMode, // not newer, but a Demo user may show any update in the demo mode
        NotNewer, // refused: the package's platform software is not newer than the device's
        NoPlatformImage, // refused: the package holds no platform software to compare
    };

    // The operating mode in which a Demo user may install a package that is not newer.
    static constexpr quint32 demoOperatingMode = 3;

    // What the verdict is decided from.
    struct Facts
    {
        // The packed version of the package's platform application image; none when the
        // package holds no platform image (a display-only package).
        std::optional<quint32> packageVersion;
        // The device's platform software, packed the same way.
        quint32 deviceVersion = 0;
        // The version check may be skipped: the Admin right in the window, --allow-downgrade
        // in k27ctl. The only way to install a package without a platform image.
        bool skipVersionCheck = false;
        // The Demo right and the device's operating mode: in demoOperatingMode a Demo user may
        // install any package that brings platform software.
        bool demoMode = false;
        quint32 operatingMode = 0;
    };

    static UpdateVerdict decide(const Facts &facts);

    Kind kind() const { return m_kind; }
    bool mayInstall() const;
    // The verdict as the update panel shows it before the package's version: "New Firmware: "
    // for a package that may be installed, otherwise why not.
    QString text() const;

private:
    explicit UpdateVerdict(Kind kind)
        : m_kind(kind)
    {
    }

    Kind m_kind;
};

} // namespace Application::K27
