// The Data page (live voltages, currents and powers) and the Control page (motor commands,
// direction and motor pictures).

#include "application/K27SubScreen.h"
#include "application/ReportedValue.h"
#include "model/database/ModelDatabase.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreenConfigurationPage.h"
#include "ui_K27SubScreenControlPage.h"
#include "ui_K27SubScreenDataPage.h"
#include "ui_K27SubScreenServiceModePage.h"

using Application::K27::showReportedValue;
using Application::K27::StatusDisplay;
using Model::Interfaces::ModelActionID;
using Service::K27::ZantLinkTerminalService;

namespace {

enum DataPage { VoltagePage = 0, CurrentPage = 1, PowerPage = 2 };

} // namespace

void K27SubScreen::connectMeasurement()
{
    connect(m_dataPage->pushButtonVoltageData, &QPushButton::toggled, this,
            &K27SubScreen::handleMeasurementVoltagePage);
    connect(m_dataPage->pushButtonCurrentData, &QPushButton::toggled, this,
            &K27SubScreen::handleMeasurementCurrentPage);
    connect(m_dataPage->pushButtonPowerData, &QPushButton::toggled, this,
            &K27SubScreen::handleMeasurementPowerPage);

    connect(m_controlPage->pushButtonControlForward, &QPushButton::clicked, this,
            &K27SubScreen::handleForward);
    connect(m_controlPage->pushButtonControlBackward, &QPushButton::clicked, this,
            &K27SubScreen::handleBackward);
    connect(m_controlPage->pushButtonControlIdle, &QPushButton::clicked, this,
            &K27SubScreen::handleIdle);
    connect(m_serviceModePage->pushButtonMotorForward, &QPushButton::clicked, this,
            &K27SubScreen::handleForward);
    connect(m_serviceModePage->pushButtonMotorBackward, &QPushButton::clicked, this,
            &K27SubScreen::handleBackward);
    connect(m_serviceModePage->pushButtonMotorIdle, &QPushButton::clicked, this,
            &K27SubScreen::handleIdle);
    // Any state but unchecked counts as on.
    connect(m_controlPage->checkBoxControlSoftstart, &QCheckBox::stateChanged, this,
            [this](int state) { handleSoftstart(state != Qt::Unchecked); });

    const ZantLinkTerminalService *terminal = terminalService().data();
    connect(terminal, &ZantLinkTerminalService::measurementVoltageModelValue, this,
            &K27SubScreen::handleMeasurementVoltageModelValue);
    connect(terminal, &ZantLinkTerminalService::measurementCurrentModelValue, this,
            &K27SubScreen::handleMeasurementCurrentModelValue);
    connect(terminal, &ZantLinkTerminalService::measurementActivePowerModelValue, this,
            &K27SubScreen::handleMeasurementActivePowerModelValue);
    connect(terminal, &ZantLinkTerminalService::measurementReactivePowerModelValue, this,
            &K27SubScreen::handleMeasurementReactivePowerModelValue);
    connect(terminal, &ZantLinkTerminalService::measurementApparentPowerModelValue, this,
            &K27SubScreen::handleMeasurementApparentPowerModelValue);
    connect(terminal, &ZantLinkTerminalService::measurementPhaseModelValue, this,
            &K27SubScreen::handleMeasurementPhaseModelValue);
    connect(terminal, &ZantLinkTerminalService::softstartEnableModelValue, this,
            &K27SubScreen::handleSoftstartEnableModelValue);
}

void K27SubScreen::handleMeasurementVoltagePage()
{
    fireModelAction(ModelActionID::StartVoltageMeasurement);
    m_dataPage->stackedWidgetData->setCurrentIndex(VoltagePage);
}

void K27SubScreen::handleMeasurementCurrentPage()
{
    fireModelAction(ModelActionID::StartCurrentMeasurement);
    m_dataPage->stackedWidgetData->setCurrentIndex(CurrentPage);
}

void K27SubScreen::handleMeasurementPowerPage()
{
    fireModelAction(ModelActionID::StartPowerMeasurement);
    m_dataPage->stackedWidgetData->setCurrentIndex(PowerPage);
}

void K27SubScreen::handleMeasurementVoltageModelValue(quint8 phase)
{
    QLabel *const labels[] {m_dataPage->labelVoltage_L1_N, m_dataPage->labelVoltage_L2_N,
                            m_dataPage->labelVoltage_L3_N};
    if (phase >= std::size(labels))
        return;
    showReportedValue(labels[phase], &QLabel::setText,
                      QString::fromLatin1(database()->measurement().voltage().toString())
                          + QStringLiteral(" V"));
}

void K27SubScreen::handleMeasurementCurrentModelValue(quint8 phase)
{
    QLabel *const labels[] {m_dataPage->labelCurrent_L1, m_dataPage->labelCurrent_L2,
                            m_dataPage->labelCurrent_L3};
    if (phase >= std::size(labels))
        return;
    showReportedValue(labels[phase], &QLabel::setText,
                      QString::fromLatin1(database()->measurement().current().toString())
                          + QStringLiteral(" A"));
}

void K27SubScreen::handleMeasurementActivePowerModelValue()
{
    showReportedValue(m_dataPage->labelActivePower, &QLabel::setText,
                      QString::fromLatin1(database()->measurement().activePower().toString())
                          + QStringLiteral(" kW"));
}

void K27SubScreen::handleMeasurementReactivePowerModelValue()
{
    showReportedValue(m_dataPage->labelReactivePower, &QLabel::setText,
                      QString::fromLatin1(database()->measurement().reactivePower().toString())
                          + QStringLiteral(" kVAr"));
}

void K27SubScreen::handleMeasurementApparentPowerModelValue()
{
    showReportedValue(m_dataPage->labelApparentPower, &QLabel::setText,
                      QString::fromLatin1(database()->measurement().apparentPower().toString())
                          + QStringLiteral(" kVA"));
}

void K27SubScreen::handleMeasurementPhaseModelValue()
{
    // The phase travels with the voltage and current signals; nothing to show on its own.
}

void K27SubScreen::handleForward()
{
    if (deviceLink() == nullptr)
        return;
    fireModelAction(ModelActionID::MotorStop);
    fireModelAction(ModelActionID::MotorRightOn);
    showMotorStatus(StatusDisplay::MotorStatus::Forward);
    showDirection(StatusDisplay::Direction::Forward);
}

void K27SubScreen::handleBackward()
{
    if (deviceLink() == nullptr)
        return;
    fireModelAction(ModelActionID::MotorStop);
    fireModelAction(ModelActionID::MotorLeftOn);
    showMotorStatus(StatusDisplay::MotorStatus::Backward);
    showDirection(StatusDisplay::Direction::Backward);
}

void K27SubScreen::handleIdle()
{
    if (deviceLink() == nullptr)
        return;
    fireModelAction(ModelActionID::MotorStop);
    showMotorStatus(StatusDisplay::MotorStatus::Idle);
    showDirection(StatusDisplay::Direction::None);
}

void K27SubScreen::handleSoftstart(bool enable)
{
    if (!m_rights.hasRight(AccessRights::Softstart))
        return;
    auto &softstart = database()->settings().softstartEnable();
    if (softstart.value() == enable)
        return;
    softstart.setValue(enable);
    softstart.send();
    showMotorPicture();
}

void K27SubScreen::handleSoftstartEnableModelValue()
{
    const bool enabled = database()->settings().softstartEnable().value();
    showReportedValue(m_configurationPage->checkBoxSoftstart, &QCheckBox::setChecked, enabled);
    showReportedValue(m_controlPage->checkBoxControlSoftstart, &QCheckBox::setChecked, enabled);
    showMotorPicture();
}

void K27SubScreen::showMotorPicture()
{
    // With softstart on the device shows no motor picture of its own; the label keeps what
    // it had.
    if (!database()->settings().softstartEnable().value())
        showPicture(m_controlPage->labelControlMotor, QStringLiteral(":/images/motor.png"));
}
