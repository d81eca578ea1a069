// The Configuration page: the five settings pages, every widget bound to its model value, the
// maxima that follow the device, the trip class items and the factory reset.

#include "application/core/ConfigurationRules.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/ReportedValue.h"
#include "model/database/ModelDatabase.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreenConfigurationPage.h"

#include <QSignalBlocker>

using Application::K27::ConfigurationRules;
using Application::K27::showReportedValue;
using Application::K27::writeUserChange;
using Service::K27::ZantLinkTerminalService;
namespace Types = Model::Interfaces::ModelTypes;
namespace Codec = Model::Interfaces::Codec;

namespace {

enum SettingsPage {
    GeneralPage = 0,
    UndercurrentPage = 1,
    UndervoltagePage = 2,
    OvervoltagePage = 3,
    LoadAsymmetryPage = 4,
};

void writeThreshold(Model::Interfaces::ModelDisplayValue<float> &threshold, double edited)
{
    writeUserChange(threshold, static_cast<float>(edited), [edited](float current) {
        return ConfigurationRules::thresholdUnchanged(edited, current);
    });
}

void writeFaultType(Model::Interfaces::ModelDisplayValue<Types::Settings::FaultType> &faultType,
                    int index)
{
    if (index < 0)
        return;
    writeUserChange(faultType, static_cast<Types::Settings::FaultType>(static_cast<quint8>(index)));
}

int indexOf(Types::Settings::FaultType faultType)
{
    return static_cast<int>(Codec::toNumber(faultType));
}

// A reported nominal current lowers a threshold's maximum. The device's threshold above it
// comes down to it, on the device too: the one value the window writes without a change by
// the user, because the device's threshold may not lie above its nominal current.
void lowerThresholdMaximum(QDoubleSpinBox *box,
                           Model::Interfaces::ModelDisplayValue<float> &threshold, float maximum)
{
    threshold.setMaximum(maximum);
    threshold.recomputeNeighbours();
    showReportedValue(box, &QDoubleSpinBox::setMaximum, double(maximum));
    if (!ConfigurationRules::exceedsMaximum(threshold.value(), maximum))
        return;
    threshold.setValue(maximum);
    threshold.send();
    threshold.recomputeNeighbours();
    showReportedValue(box, &QDoubleSpinBox::setValue, double(maximum));
}

} // namespace

void K27SubScreen::connectConfiguration()
{
    Ui::K27SubScreenConfigurationPage &page = *m_configurationPage;
    const std::pair<QPushButton *, SettingsPage> pageButtons[] {
        {page.pushButtonGeneralSettings, GeneralPage},
        {page.pushButtonUndercurrentSettings, UndercurrentPage},
        {page.pushButtonUndervoltageSettings, UndervoltagePage},
        {page.pushButtonOvervoltageSettings, OvervoltagePage},
        {page.pushButtonAsymmetrySettings, LoadAsymmetryPage}};
    for (const auto &[button, index] : pageButtons) {
        connect(button, &QPushButton::toggled, this, [this, index = index](bool checked) {
            if (checked)
                m_configurationPage->stackedWidgetSettings->setCurrentIndex(index);
        });
    }

    connect(page.doubleSpinBoxNominalCurrent, qOverload<double>(&QDoubleSpinBox::valueChanged),
            this, &K27SubScreen::handleNominalCurrent);
    connect(page.comboBoxTripClass, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &K27SubScreen::handleTripClass);
    // Any state but unchecked counts as on.
    connect(page.checkBoxSoftstart, &QCheckBox::stateChanged, this,
            [this](int state) { handleSoftstart(state != Qt::Unchecked); });
    connect(page.checkBoxAutoReset, &QCheckBox::stateChanged, this,
            [this](int state) { handleOverloadReset(state != Qt::Unchecked); });

    connect(page.checkBoxUndercurrentEnable, &QCheckBox::toggled, this,
            &K27SubScreen::handleUndercurrentEnable);
    connect(page.doubleSpinBoxUndercurrentThreshold,
            qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &K27SubScreen::handleUndercurrentThreshold);
    connect(page.comboBoxUndercurrentFaultType, qOverload<int>(&QComboBox::currentIndexChanged),
            this, &K27SubScreen::handleUndercurrentFaultType);
    connect(page.checkBoxUndervoltageEnable, &QCheckBox::toggled, this,
            &K27SubScreen::handleUndervoltageEnable);
    connect(page.doubleSpinBoxUndervoltageThreshold,
            qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &K27SubScreen::handleUndervoltageThreshold);
    connect(page.comboBoxUndervoltageFaultType, qOverload<int>(&QComboBox::currentIndexChanged),
            this, &K27SubScreen::handleUndervoltageFaultType);
    connect(page.checkBoxOvervoltageEnable, &QCheckBox::toggled, this,
            &K27SubScreen::handleOvervoltageEnable);
    connect(page.doubleSpinBoxOvervoltageThreshold,
            qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &K27SubScreen::handleOvervoltageThreshold);
    connect(page.comboBoxOvervoltageFaultType, qOverload<int>(&QComboBox::currentIndexChanged),
            this, &K27SubScreen::handleOvervoltageFaultType);
    connect(page.checkBoxAsymmetryEnable, &QCheckBox::toggled, this,
            &K27SubScreen::handleAsymmetryEnable);
    connect(page.doubleSpinBoxAsymmetryThreshold, qOverload<double>(&QDoubleSpinBox::valueChanged),
            this, &K27SubScreen::handleAsymmetryThreshold);
    connect(page.comboBoxAsymmetryFaultType, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &K27SubScreen::handleAsymmetryFaultType);
    connect(page.pushButtonFactoryReset, &QPushButton::clicked, this,
            &K27SubScreen::handleFactoryReset);

    const ZantLinkTerminalService *terminal = terminalService().data();
    connect(terminal, &ZantLinkTerminalService::nominalCurrentModelValue, this,
            &K27SubScreen::handleNominalCurrentModelValue);
    connect(terminal, &ZantLinkTerminalService::nominalCurrentMaxModelValue, this,
            &K27SubScreen::handleNominalCurrentMaxModelValue);
    connect(terminal, &ZantLinkTerminalService::tripClassModelValue, this,
            &K27SubScreen::handleTripClassModelValue);
    connect(terminal, &ZantLinkTerminalService::tripClassMaxModelValue, this,
            &K27SubScreen::handleTripClassMaxModelValue);
    connect(terminal, &ZantLinkTerminalService::overloadResetModelValue, this,
            &K27SubScreen::handleOverloadResetModelValue);
    connect(terminal, &ZantLinkTerminalService::undercurrentThresholdModelValue, this,
            &K27SubScreen::handleUndercurrentThresholdModelValue);
    connect(terminal, &ZantLinkTerminalService::undercurrentFaultTypeModelValue, this,
            &K27SubScreen::handleUndercurrentFaultTypeModelValue);
    connect(terminal, &ZantLinkTerminalService::undercurrentEnableModelValue, this,
            &K27SubScreen::handleUndercurrentEnableModelValue);
    connect(terminal, &ZantLinkTerminalService::undervoltageThresholdModelValue, this,
            &K27SubScreen::handleUndervoltageThresholdModelValue);
    connect(terminal, &ZantLinkTerminalService::undervoltageFaultTypeModelValue, this,
            &K27SubScreen::handleUndervoltageFaultTypeModelValue);
    connect(terminal, &ZantLinkTerminalService::undervoltageEnableModelValue, this,
            &K27SubScreen::handleUndervoltageEnableModelValue);
    connect(terminal, &ZantLinkTerminalService::overvoltageThresholdModelValue, this,
            &K27SubScreen::handleOvervoltageThresholdModelValue);
    connect(terminal, &ZantLinkTerminalService::overvoltageFaultTypeModelValue, this,
            &K27SubScreen::handleOvervoltageFaultTypeModelValue);
    connect(terminal, &ZantLinkTerminalService::overvoltageEnableModelValue, this,
            &K27SubScreen::handleOvervoltageEnableModelValue);
    connect(terminal, &ZantLinkTerminalService::loadAsymmetryThresholdModelValue, this,
            &K27SubScreen::handleAsymmetryThresholdModelValue);
    connect(terminal, &ZantLinkTerminalService::loadAsymmetryFaultTypeModelValue, this,
            &K27SubScreen::handleAsymmetryFaultTypeModelValue);
    connect(terminal, &ZantLinkTerminalService::loadAsymmetryEnableModelValue, this,
            &K27SubScreen::handleAsymmetryEnableModelValue);
}

// ---- changes the user made ---------------------------------------------------------------

void K27SubScreen::handleNominalCurrent(double value)
{
    writeUserChange(database()->settings().nominalCurrent(), static_cast<float>(value),
                    [value](float current) {
                        return ConfigurationRules::nominalCurrentUnchanged(value, current);
                    });
}

void K27SubScreen::handleTripClass(int index)
{
    if (index < 0)
        return;
    writeUserChange(database()->settings().tripClass(),
                    static_cast<Types::Settings::TripClass>(static_cast<quint8>(index)));
}

void K27SubScreen::handleOverloadReset(bool autoReset)
{
    writeUserChange(database()->settings().overloadReset(), autoReset);
}

void K27SubScreen::handleUndercurrentEnable(bool enable)
{
    writeUserChange(database()->settings().undercurrentEnable(), enable);
}

void K27SubScreen::handleUndercurrentThreshold(double value)
{
    writeThreshold(database()->settings().undercurrentThreshold(), value);
}

void K27SubScreen::handleUndercurrentFaultType(int index)
{
    writeFaultType(database()->settings().undercurrentFault(), index);
}

void K27SubScreen::handleUndervoltageEnable(bool enable)
{
    writeUserChange(database()->settings().undervoltageEnable(), enable);
}

void K27SubScreen::handleUndervoltageThreshold(double value)
{
    writeThreshold(database()->settings().undervoltageThreshold(), value);
}

void K27SubScreen::handleUndervoltageFaultType(int index)
{
    writeFaultType(database()->settings().undervoltageFault(), index);
}

void K27SubScreen::handleOvervoltageEnable(bool enable)
{
    writeUserChange(database()->settings().overvoltageEnable(), enable);
}

void K27SubScreen::handleOvervoltageThreshold(double value)
{
    writeThreshold(database()->settings().overvoltageThreshold(), value);
}

void K27SubScreen::handleOvervoltageFaultType(int index)
{
    writeFaultType(database()->settings().overvoltageFault(), index);
}

void K27SubScreen::handleAsymmetryEnable(bool enable)
{
    writeUserChange(database()->settings().loadAsymmetryEnable(), enable);
}

void K27SubScreen::handleAsymmetryThreshold(double value)
{
    writeThreshold(database()->settings().loadAsymmetryThreshold(), value);
}

void K27SubScreen::handleAsymmetryFaultType(int index)
{
    writeFaultType(database()->settings().loadAsymmetryFault(), index);
}

void K27SubScreen::handleFactoryReset()
{
    // No question first: the device reports its factory values back and the widgets follow.
    database()->actions().factoryReset().fire();
}

// ---- values the device reported -------------------------------------------------------------

void K27SubScreen::handleNominalCurrentModelValue()
{
    Model::Database::ModelSettings &settings = database()->settings();
    const float nominalCurrent = settings.nominalCurrent().value();
    showReportedValue(m_configurationPage->doubleSpinBoxNominalCurrent, &QDoubleSpinBox::setValue,
                      double(nominalCurrent));
    lowerThresholdMaximum(m_configurationPage->doubleSpinBoxUndercurrentThreshold,
                          settings.undercurrentThreshold(), nominalCurrent);
    lowerThresholdMaximum(m_configurationPage->doubleSpinBoxAsymmetryThreshold,
                          settings.loadAsymmetryThreshold(), nominalCurrent);
}

void K27SubScreen::handleNominalCurrentMaxModelValue()
{
    Model::Database::ModelSettings &settings = database()->settings();
    const float maximum = settings.maxNominalCurrent().value();
    settings.nominalCurrent().setMaximum(maximum);
    settings.nominalCurrent().recomputeNeighbours();
    showReportedValue(m_configurationPage->doubleSpinBoxNominalCurrent, &QDoubleSpinBox::setMaximum,
                      double(maximum));
}

void K27SubScreen::handleTripClassModelValue()
{
    showReportedValue(m_configurationPage->comboBoxTripClass, &QComboBox::setCurrentIndex,
                      int(Codec::toNumber(database()->settings().tripClass().value())));
}

void K27SubScreen::handleTripClassMaxModelValue()
{
    Model::Database::ModelSettings &settings = database()->settings();
    const Types::Settings::TripClass maximum = settings.maxTripClass().value();
    settings.tripClass().setMaximum(maximum);
    settings.tripClass().recomputeNeighbours();

    const int count = int(Codec::toNumber(maximum)) + 1;
    QComboBox *const combo = m_configurationPage->comboBoxTripClass;
    {
        // Items come and go; none of that is a choice the user made.
        const QSignalBlocker blocker(combo);
        combo->setMaxCount(count);
        for (int index = combo->count(); index < count; ++index)
            combo->addItem(ConfigurationRules::tripClassName(index));
    }
    handleTripClassModelValue();
}

void K27SubScreen::handleOverloadResetModelValue()
{
    showReportedValue(m_configurationPage->checkBoxAutoReset, &QCheckBox::setChecked,
                      database()->settings().overloadReset().value());
}

void K27SubScreen::handleUndercurrentThresholdModelValue()
{
    showReportedValue(m_configurationPage->doubleSpinBoxUndercurrentThreshold,
                      &QDoubleSpinBox::setValue,
                      double(database()->settings().undercurrentThreshold().value()));
}

void K27SubScreen::handleUndercurrentFaultTypeModelValue()
{
    showReportedValue(m_configurationPage->comboBoxUndercurrentFaultType,
                      &QComboBox::setCurrentIndex,
                      indexOf(database()->settings().undercurrentFault().value()));
}

void K27SubScreen::handleUndercurrentEnableModelValue()
{
    showReportedValue(m_configurationPage->checkBoxUndercurrentEnable, &QCheckBox::setChecked,
                      database()->settings().undercurrentEnable().value());
}

void K27SubScreen::handleUndervoltageThresholdModelValue()
{
    showReportedValue(m_configurationPage->doubleSpinBoxUndervoltageThreshold,
                      &QDoubleSpinBox::setValue,
                      double(database()->settings().undervoltageThreshold().value()));
}

void K27SubScreen::handleUndervoltageFaultTypeModelValue()
{
    showReportedValue(m_configurationPage->comboBoxUndervoltageFaultType,
                      &QComboBox::setCurrentIndex,
                      indexOf(database()->settings().undervoltageFault().value()));
}

void K27SubScreen::handleUndervoltageEnableModelValue()
{
    showReportedValue(m_configurationPage->checkBoxUndervoltageEnable, &QCheckBox::setChecked,
                      database()->settings().undervoltageEnable().value());
}

void K27SubScreen::handleOvervoltageThresholdModelValue()
{
    showReportedValue(m_configurationPage->doubleSpinBoxOvervoltageThreshold,
                      &QDoubleSpinBox::setValue,
                      double(database()->settings().overvoltageThreshold().value()));
}

void K27SubScreen::handleOvervoltageFaultTypeModelValue()
{
    showReportedValue(m_configurationPage->comboBoxOvervoltageFaultType,
                      &QComboBox::setCurrentIndex,
                      indexOf(database()->settings().overvoltageFault().value()));
}

void K27SubScreen::handleOvervoltageEnableModelValue()
{
    showReportedValue(m_configurationPage->checkBoxOvervoltageEnable, &QCheckBox::setChecked,
                      database()->settings().overvoltageEnable().value());
}

void K27SubScreen::handleAsymmetryThresholdModelValue()
{
    showReportedValue(m_configurationPage->doubleSpinBoxAsymmetryThreshold,
                      &QDoubleSpinBox::setValue,
                      double(database()->settings().loadAsymmetryThreshold().value()));
}

void K27SubScreen::handleAsymmetryFaultTypeModelValue()
{
    showReportedValue(m_configurationPage->comboBoxAsymmetryFaultType, &QComboBox::setCurrentIndex,
                      indexOf(database()->settings().loadAsymmetryFault().value()));
}

void K27SubScreen::handleAsymmetryEnableModelValue()
{
    showReportedValue(m_configurationPage->checkBoxAsymmetryEnable, &QCheckBox::setChecked,
                      database()->settings().loadAsymmetryEnable().value());
}
