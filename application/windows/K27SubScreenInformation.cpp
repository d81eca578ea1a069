// The Information page: the device's identity, the status display with its fault texts and
// pictures, and the state of the device's port.

#include "application/core/ControllerStates.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/ReportedValue.h"
#include "application/windows/StatusPicture.h"
#include "component/SerialPort.h"
#include "model/database/ModelDatabase.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreen.h"
#include "ui_K27SubScreenConfigurationPage.h"
#include "ui_K27SubScreenControlPage.h"
#include "ui_K27SubScreenDataPage.h"
#include "ui_K27SubScreenInformationPage.h"
#include "ui_K27SubScreenServiceModePage.h"

#include <QPixmap>
#include <QPushButton>

using Application::K27::ControllerStates;
using Application::K27::ResultText;
using Application::K27::SerialPort;
using Application::K27::showReportedValue;
using Application::K27::StatusDisplay;
using Application::K27::StatusPicture;
using Model::Interfaces::ModelActionID;

namespace {

// Platform firmware from this version on measures line-to-line voltages.
constexpr quint32 lineToLineVersion = 0x00040302;
// Platform firmware from this version on knows the load asymmetry protection.
constexpr quint32 loadAsymmetryVersion = 0x00040302;

QString hexByte(quint8 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

void K27SubScreen::connectInformation()
{
    const Service::K27::ZantLinkTerminalService *terminal = terminalService().data();
    connect(terminal, &Service::K27::ZantLinkTerminalService::articleNumberModelValue, this,
            &K27SubScreen::handleArticleNumberModelValue);
    connect(terminal, &Service::K27::ZantLinkTerminalService::serialNumberModelValue, this,
            &K27SubScreen::handleSerialNumberModelValue);
    connect(terminal, &Service::K27::ZantLinkTerminalService::platformVersionModelValue, this,
            &K27SubScreen::handlePlatformVersionModelValue);
    connect(terminal, &Service::K27::ZantLinkTerminalService::hardwareRevisionModelValue, this,
            &K27SubScreen::handleHardwareRevisionModelValue);
    connect(terminal, &Service::K27::ZantLinkTerminalService::faultTypeModelValue, this,
            &K27SubScreen::handleFaultTypeModelValue);
    connect(terminal, &Service::K27::ZantLinkTerminalService::operatingModeModelValue, this,
            &K27SubScreen::handleOperatingModeModelValue);
    connect(m_informationPage->pushButtonResetError, &QPushButton::clicked, this,
            &K27SubScreen::handleResetError);
    m_informationPage->labelDeviceState->hide();
    connect(controllerStates().data(), &ControllerStates::controllerStateChanged, this,
            &K27SubScreen::handleControllerState);
    if (const QSharedPointer<SerialPort> &port = serialPort())
        connect(port.data(), &SerialPort::openStateChanged, this,
                &K27SubScreen::handlePortOpenState);
}

void K27SubScreen::handleArticleNumberModelValue()
{
    Model::Database::ModelInformation &information = database()->information();
    const auto articleNumber = static_cast<quint32>(information.articleNumber().value());
    showReportedValue(m_informationPage->labelProductName, &QLabel::setText,
                      StatusDisplay::productName(articleNumber));
    showReportedValue(m_informationPage->labelArticleNumber, &QLabel::setText,
                      QString::number(articleNumber)
                          + QString::fromLatin1(information.articleIndex().toString()));
    // The pictures belong to the device class; faults reported before the article number
    // (the model is read in that order) are drawn now.
    handleFaultTypeModelValue();
}

void K27SubScreen::handleSerialNumberModelValue()
{
    const QString serialNumber
        = QString::fromLatin1(database()->information().serialNumber().toString());
    showReportedValue(m_informationPage->labelSerialNumber, &QLabel::setText, serialNumber);
    showTitle(serialNumber);
}

void K27SubScreen::handlePlatformVersionModelValue()
{
    Model::Database::ModelInformation &information = database()->information();
    showReportedValue(m_informationPage->labelSoftwareVersion, &QLabel::setText,
                      QString::fromLatin1(information.platformVersion().toString()));

    const quint32 version = information.platformVersion().value();
    const bool lineToLine = version >= lineToLineVersion;
    showOnPage(DataPage, QStringLiteral("version"), [this, lineToLine] {
        m_dataPage->labelVoltageText_L1_N->setText(lineToLine ? tr("Voltage L1 - L2")
                                                              : tr("Voltage L1 - N"));
        m_dataPage->labelVoltageText_L2_N->setText(lineToLine ? tr("Voltage L2 - L3")
                                                              : tr("Voltage L2 - N"));
        m_dataPage->labelVoltageText_L3_N->setText(lineToLine ? tr("Voltage L3 - L1")
                                                              : tr("Voltage L3 - N"));
    });
    showOnPage(ConfigurationPage, QStringLiteral("version"), [this, version] {
        m_configurationPage->pushButtonAsymmetrySettings->setVisible(version
                                                                     >= loadAsymmetryVersion);
    });
}

void K27SubScreen::handleHardwareRevisionModelValue()
{
    Model::Database::ModelInformation &information = database()->information();
    const QString revision = hexByte(information.controllerBoard().value()) + QLatin1Char(':')
        + hexByte(information.powerBoard().value()) + QLatin1Char(':')
        + hexByte(information.displayBoard().value());
    showReportedValue(m_informationPage->labelHardwareRevision, &QLabel::setText, revision);
}

StatusDisplay::Input K27SubScreen::statusInput()
{
    Model::Database::ModelDatabase &model = *database();
    StatusDisplay::Input input;
    input.error = static_cast<int>(model.faults().error().value());
    input.warning = static_cast<int>(model.faults().warning().value());
    input.operatingMode = static_cast<int>(model.operation().operatingMode().value());
    input.articleNumber = static_cast<quint32>(model.information().articleNumber().value());
    input.errorText = StatusDisplay::faultName(model.faults().error().toString());
    input.warningText = StatusDisplay::faultName(model.faults().warning().toString());
    input.phaseText = QString::fromLatin1(model.faults().phase().toString());
    input.capacityText = QString::fromLatin1(model.operation().capacity().toString());
    input.platformBootloader = platformInBootloader();
    return input;
}

void K27SubScreen::handleFaultTypeModelValue()
{
    applyStatusView(StatusDisplay::faultView(statusInput()));
    showMotorBlockedReason();
}

void K27SubScreen::handleResetError()
{
    fireModelAction(ModelActionID::ResetError);
}

QString K27SubScreen::deviceName() const
{
    return m_title.trimmed().isEmpty() ? m_portName : m_title.trimmed();
}

void K27SubScreen::showOffline()
{
    const QString offline = tr("Offline — no device connected");
    // The form's "0" and "V0.0.0.0" would read as a device's identity.
    m_informationPage->labelProductName->setText(offline);
    const QString none = QStringLiteral("—");
    for (QLabel *label :
         {m_informationPage->labelArticleNumber, m_informationPage->labelSerialNumber,
          m_informationPage->labelSoftwareVersion, m_informationPage->labelHardwareRevision})
        label->setText(none);
    m_informationPage->labelTorvexK27Image->setPixmap(QPixmap());

    // Nothing here reaches a device: what would change or read one is off, and says why.
    const auto needDevice = [offline](std::initializer_list<QWidget *> widgets) {
        for (QWidget *widget : widgets) {
            widget->setEnabled(false);
            widget->setToolTip(offline);
        }
    };
    needDevice({m_informationPage->pushButtonResetError});
    showOnPage(ControlPage, QStringLiteral("offline"), [this, needDevice] {
        needDevice({m_controlPage->pushButtonControlForward,
                    m_controlPage->pushButtonControlBackward, m_controlPage->pushButtonControlIdle,
                    m_controlPage->checkBoxControlSoftstart});
    });
    showOnPage(ConfigurationPage, QStringLiteral("offline"), [this, needDevice] {
        needDevice({m_configurationPage->stackedWidgetSettings,
                    m_configurationPage->pushButtonExport, m_configurationPage->pushButtonImport});
    });
    showSettingsFileResult(tr("%1: EXPORT and IMPORT need a connected device.").arg(offline),
                           ResultText::Kind::Success);
}

void K27SubScreen::handleOperatingModeModelValue()
{
    applyStatusView(StatusDisplay::operatingModeView(statusInput()));
}

void K27SubScreen::applyStatusView(const StatusDisplay::View &view)
{
    if (view.motorStatus)
        showMotorStatus(*view.motorStatus);
    if (view.direction)
        showDirection(*view.direction);
    if (view.faultInfo)
        showReportedValue(m_informationPage->labelFaultInfo, &QLabel::setText, *view.faultInfo);
    if (view.faultCode)
        showReportedValue(m_informationPage->labelFaultCode, &QLabel::setText, *view.faultCode);
    if (view.picture)
        showPicture(m_informationPage->labelTorvexK27Image, *view.picture);
}

void K27SubScreen::showMotorStatus(StatusDisplay::MotorStatus status)
{
    QString text;
    switch (status) {
    case StatusDisplay::MotorStatus::Idle:
        text = tr("K27 Status: Idle");
        break;
    case StatusDisplay::MotorStatus::Forward:
        text = tr("K27 Status: Forward");
        break;
    case StatusDisplay::MotorStatus::Backward:
        text = tr("K27 Status: Backward");
        break;
    case StatusDisplay::MotorStatus::Warning:
        text = tr("K27 Status: Warning");
        break;
    case StatusDisplay::MotorStatus::Error:
        text = tr("K27 Status: Error");
        break;
    case StatusDisplay::MotorStatus::Bootloader:
        text = tr("K27 Status: Bootloader");
        break;
    }
    showOnPage(ServiceModePage, QStringLiteral("motor status"), [this, text] {
        showReportedValue(m_serviceModePage->labelMotorStatus, &QLabel::setText, text);
    });
}

void K27SubScreen::showDirection(StatusDisplay::Direction direction)
{
    QString path;
    switch (direction) {
    case StatusDisplay::Direction::None:
        break;
    case StatusDisplay::Direction::Forward:
        path = QStringLiteral(":/images/forward.png");
        break;
    case StatusDisplay::Direction::Backward:
        path = QStringLiteral(":/images/backward.png");
        break;
    }
    showOnPage(ControlPage, QStringLiteral("direction"),
               [this, path] { showPicture(m_controlPage->labelControlDirection, path); });
}

void K27SubScreen::showPicture(QLabel *label, const QString &path)
{
    label->setProperty("picture", path);
    // The device pictures get the display's word in the window's language.
    label->setProperty("pictureWord", StatusPicture::word(path));
    if (path.isEmpty())
        showReportedValue(label, &QLabel::setPixmap, QPixmap());
    else
        showReportedValue(label, &QLabel::setPixmap, StatusPicture::draw(path));
}

bool K27SubScreen::platformInBootloader() const
{
    // During an update the platform's bootloader is a step of it, shown by the progress.
    if (packageUpdateService() && packageUpdateService()->isUpdating())
        return false;
    return deviceAnswers() && controllerStates()->runsBootloader(ControllerStates::Platform);
}

bool K27SubScreen::deviceAnswers() const
{
    // The last answers of a device whose port is closed say nothing about it now.
    const QSharedPointer<SerialPort> &port = serialPort();
    return port && port->isOpen();
}

void K27SubScreen::handleControllerState()
{
    showDeviceState();
}

QStringList K27SubScreen::applyModelPages(bool platformBootloader)
{
    struct ModelPage
    {
        QPushButton *button;
        bool allowed;
        QString name;
    };
    // The Service Mode button opens the command terminal for an Admin, which talks to a
    // bootloader as well; for a Demo user it opens the Demo page, which needs the model.
    const bool demoPage = !m_rights.hasRight(AccessRights::ServiceMode)
        && m_rights.hasRight(AccessRights::DemoMode);
    const ModelPage pages[] {
        {m_ui->pushButtonConfiguration, m_rights.hasRight(AccessRights::Configuration),
         tr("Configuration")},
        {m_ui->pushButtonData, m_rights.hasRight(AccessRights::Data), tr("Data")},
        {m_ui->pushButtonControl, m_rights.hasRight(AccessRights::Control), tr("Control")},
        {m_ui->pushButtonServiceMode, demoPage, tr("Demo")},
    };
    QStringList off;
    for (const ModelPage &page : pages) {
        if (!page.allowed)
            continue;
        page.button->setEnabled(!platformBootloader);
        if (platformBootloader)
            off.append(page.name);
    }
    // A page that went off does not stay open.
    for (const ModelPage &page : pages) {
        if (!page.button->isEnabled() && page.button->isChecked())
            m_ui->pushButtonInformations->setChecked(true);
    }
    return off;
}

void K27SubScreen::showDeviceState()
{
    if (packageUpdateService() && packageUpdateService()->isUpdating()) {
        // The progress shows where the update is; the pages stay as they were until it ends.
        m_informationPage->labelDeviceState->clear();
        m_informationPage->labelDeviceState->hide();
        return;
    }
    const bool platformBootloader = platformInBootloader();
    const bool displayBootloader
        = deviceAnswers() && controllerStates()->runsBootloader(ControllerStates::Display);

    QStringList lines;
    if (platformBootloader)
        lines.append(tr("The platform runs its bootloader: its last update did not finish. Open "
                        "an update package to complete it."));
    if (displayBootloader)
        lines.append(tr("The display runs its bootloader: its last update did not finish. Open "
                        "an update package to complete it."));
    const QStringList off = applyModelPages(platformBootloader);
    if (!off.isEmpty())
        lines.append(tr("Not available while the platform runs its bootloader: %1.")
                         .arg(off.join(QStringLiteral(", "))));
    if (lines.isEmpty() && m_updateFailed) {
        if (!deviceAnswers())
            lines.append(tr("The device is not connected. Connect it again, then open the update "
                            "package to complete the update."));
        else
            lines.append(tr("The platform and the display run their application software. Open "
                            "the update package again to complete the update."));
    }
    m_informationPage->labelDeviceState->setText(lines.join(QLatin1Char('\n')));
    m_informationPage->labelDeviceState->setVisible(!lines.isEmpty());

    if (platformBootloader) {
        // The model holds no content of this device's: nothing of it is shown as if it were.
        const QString unknown = tr("unknown");
        m_informationPage->labelSoftwareVersion->setText(unknown);
        for (QLabel *label :
             {m_informationPage->labelArticleNumber, m_informationPage->labelSerialNumber,
              m_informationPage->labelHardwareRevision}) {
            if (label->text() == QLatin1String("0"))
                label->setText(unknown);
        }
        applyStatusView(StatusDisplay::bootloaderView());
    } else if (m_platformBootloaderShown) {
        // The platform's application runs again: the model is read from it once more.
        applyStatusView(StatusDisplay::faultView(statusInput()));
        database()->requestAll();
    }
    m_platformBootloaderShown = platformBootloader;
}

void K27SubScreen::handlePortOpenState()
{
    const QSharedPointer<SerialPort> &port = serialPort();
    QString text;
    if (port && !port->isOpen())
        text = portFailureText(port->openFailure(), m_portName, port->deviceGroup(),
                               port->openFailureText());
    m_informationPage->labelPortError->setText(text);
    m_informationPage->labelPortError->setVisible(!text.isEmpty());
    if (m_updateFailed)
        showDeviceState();
}

QString K27SubScreen::portFailureText(SerialPort::OpenFailure failure, const QString &portName,
                                      const QString &group, const QString &systemText)
{
    switch (failure) {
    case SerialPort::OpenFailure::None:
        return QString();
    case SerialPort::OpenFailure::Busy:
        return tr("The port %1 is in use by another program. Close the other program; the "
                  "device is connected as soon as the port is free.")
            .arg(portName);
    case SerialPort::OpenFailure::Permission:
#ifdef Q_OS_LINUX
        if (!group.isEmpty())
            return tr("You have no permission to open the port %1. Add your user to the group "
                      "\"%2\" that owns the device (sudo usermod -aG %2 $USER) and log in "
                      "again, or install the udev rule described in the README.")
                .arg(portName, group);
        return tr("You have no permission to open the port %1. Install the udev rule described "
                  "in the README.")
            .arg(portName);
#else
        Q_UNUSED(group)
        return tr("You have no permission to open the port %1.").arg(portName);
#endif
    case SerialPort::OpenFailure::Gone:
        return tr("The port %1 is gone. Plug the device in again.").arg(portName);
    case SerialPort::OpenFailure::Other:
        break;
    }
    return tr("The port %1 cannot be opened: %2").arg(portName, systemText);
}
