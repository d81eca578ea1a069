#pragma once

// Header only: the widget tests of the package update panel share it.
#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelActionID.h"
#include "service/PackageUpdateService.h"
#include "service/UpdateControlService.h"
#include "support/SubScreenHarness.h"
#include "support/TrappedTest.h"
#include "support/UpdatePackages.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

using Command = Component::K27::ZantLinkCommandCode;
using DeviceSim::DeviceSimulator;
using DeviceSim::DeviceSimulatorOptions;
using DeviceSim::ReceivedPacket;
using Service::K27::PackageUpdateService;
using TestSupport::SubScreenHarness;
using TestSupport::UpdatePackages;

namespace TestSupport::PackageUpdatePanel {
constexpr quint32 oldVersion = 0x01000000;
constexpr quint32 newPlatformVersion = 0x02000000;
constexpr quint32 newDisplayVersion = 0x02000001;
// How long the run waits for the platform's bootloader after "JumpToBootloader": long enough for
// the simulated device to have dropped its port even on a loaded machine. A transfer that starts
// before the bootloader took the port over waits for its first block request until it stalls,
// longer than a test waits.
constexpr int platformBootloaderWaitMs = 1000;

// The update's packets as the device received them: "command/node", actions with their number.
inline QStringList updatePackets(const QList<ReceivedPacket> &packets)
{
    QStringList list;
    for (const ReceivedPacket &packet : packets) {
        switch (packet.command) {
        case Command::JumpToBootloader:
        case Command::ApplicationUpdate:
        case Command::Memblock:
            list.append(QStringLiteral("%1/%2").arg(packet.command).arg(packet.destination));
            break;
        case Command::FireModelAction:
            if (packet.number(0)
                    == Model::Interfaces::toNumber(
                        Model::Interfaces::ModelActionID::StartDisplayUpdate)
                || packet.number(0)
                    == Model::Interfaces::toNumber(
                        Model::Interfaces::ModelActionID::StopDisplayUpdate))
                list.append(QStringLiteral("action %1").arg(packet.number(0)));
            break;
        default:
            break;
        }
    }
    list.removeDuplicates();
    return list;
}
} // namespace TestSupport::PackageUpdatePanel

using namespace TestSupport::PackageUpdatePanel;

// The package update panel on a device window, against the simulated device over a
// pseudo-terminal: the device restarts (its port goes away and comes back) when its platform
// enters the bootloader and when it returns to its new software. The test classes derive from
// this set-up (it has no slots of its own, so no meta-object).
class PackageUpdatePanelFixture : public TestSupport::TrappedTest
{
protected:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<UpdatePackages> m_packages;
    std::unique_ptr<SubScreenHarness> m_harness;

    void setUp() override
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_packages = std::make_unique<UpdatePackages>(m_folder->path(),
                                                      QStringLiteral(K27_MKPACKAGE_PATH));
    }
    void tearDown() override
    {
        m_harness.reset();
        m_packages.reset();
        m_folder.reset();
    }

    // A device window on a device of the old versions; the port manager looks at the ports the
    // moment the device leaves or returns, instead of at its next poll. beforeWindow sees the
    // device before the window greets it.
    bool start(int level = UserLogin::Admin, DeviceSimulatorOptions options = {},
               const std::function<void(DeviceSimulator &)> &beforeWindow = {})
    {
        options.usbAwayMs = 20;
        options.platform.application = oldVersion;
        options.platform.afterUpdate = newPlatformVersion;
        options.display.application = oldVersion;
        options.display.afterUpdate = newDisplayVersion;
        m_harness = std::make_unique<SubScreenHarness>(level, options);
        if (!m_harness->startDevice())
            return false;
        if (beforeWindow)
            beforeWindow(m_harness->device());
        m_harness->makeWindow();
        keepSettingsInTestFolder();
        m_harness->run();
        if (!m_harness->barrier())
            return false;
        Application::K27::SerialPortManager *const manager = m_harness->manager().data();
        QObject::connect(&m_harness->device(), &DeviceSimulator::wentAway, manager,
                         &Application::K27::SerialPortManager::handleTimeout);
        QObject::connect(&m_harness->device(), &DeviceSimulator::cameBack, manager,
                         &Application::K27::SerialPortManager::handleTimeout);
        // The waits cut short; the platform's bootloader wait stays long enough for the port to
        // have gone away and come back.
        window().packageUpdateService()->setTiming({platformBootloaderWaitMs, 1, 1, 1, 20000});
        window().updateControlService()->setStallTimeouts(20000, 20000);
        return true;
    }
    // An update saves the device's settings in the settings folder first: the test's own, not
    // the home folder the window falls back on.
    void keepSettingsInTestFolder() { window().configuration()->setSettingsDir(m_folder->path()); }
    K27SubScreen &window() { return m_harness->window(); }
    QPushButton *button(const char *name) { return m_harness->child<QPushButton>(name); }
    QLabel *label(const char *name) { return m_harness->child<QLabel>(name); }
    QProgressBar *progressBar()
    {
        return m_harness->child<QProgressBar>("progressBarPackageUpdate");
    }
    PackageUpdateService &service() { return *window().packageUpdateService(); }

    QString twoImagePackage(const QString &platformVersion = QStringLiteral("V2.0.0.0"))
    {
        return m_packages->build(QStringLiteral("package.tar"), UpdatePackages::image(2100),
                                 platformVersion, UpdatePackages::image(900, 3),
                                 QStringLiteral("V2.0.0.1"));
    }
};
