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

using Model::Interfaces::ModelValueID;
using Page = Ui::K27SubScreenConfigurationPage;
using ModelSettings = Model::Database::ModelSettings;

enum SettingsPage {
    GeneralPage = 0,
    UndercurrentPage = 1,
    UndervoltagePage = 2,
    OvervoltagePage = 3,
    LoadAsymmetryPage = 4,
};

// How a kind of widget shows a setting and reports a change of the user; widget is the page's
// member, value the model's accessor. A change reaches the window's slot for the setting
// (slot), which writes it through the table.
template<auto widget, auto value, auto slot, bool (*unchanged)(double, float)> struct SpinBox
{
    static void show(Page &page, ModelSettings &model)
    {
        showReportedValue(page.*widget, &QDoubleSpinBox::setValue,
                          double((model.*value)().value()));
    }
    static void write(ModelSettings &model, double edited)
    {
        writeUserChange((model.*value)(), static_cast<float>(edited),
                        [edited](float current) { return unchanged(edited, current); });
    }
    static void connect(Page &page, K27SubScreen *window)
    {
        QObject::connect(page.*widget, qOverload<double>(&QDoubleSpinBox::valueChanged), window,
                         slot);
    }
};

// A combo box whose index is the content's number (trip class, fault type); no index (-1)
// writes nothing.
template<auto widget, auto value, auto slot> struct ComboBox
{
    using Content =
        typename std::decay_t<decltype((std::declval<ModelSettings &>().*value)())>::ValueType;

    static void show(Page &page, ModelSettings &model)
    {
        showReportedValue(page.*widget, &QComboBox::setCurrentIndex,
                          int(Codec::toNumber((model.*value)().value())));
    }
    static void write(ModelSettings &model, double index)
    {
        if (index < 0)
            return;
        writeUserChange((model.*value)(),
                        Codec::fromNumber<Content>(static_cast<quint8>(static_cast<int>(index))));
    }
    static void connect(Page &page, K27SubScreen *window)
    {
        QObject::connect(page.*widget, qOverload<int>(&QComboBox::currentIndexChanged), window,
                         slot);
    }
};

// A switch; any state but unchecked counts as on.
template<auto widget, auto value, auto slot> struct CheckBox
{
    static void show(Page &page, ModelSettings &model)
    {
        showReportedValue(page.*widget, &QCheckBox::setChecked, (model.*value)().value());
    }
    static void write(ModelSettings &model, double checked)
    {
        writeUserChange((model.*value)(), checked != 0.0);
    }
    static void connect(Page &page, K27SubScreen *window)
    {
        QObject::connect(page.*widget, &QCheckBox::stateChanged, window,
                         [window](int state) { (window->*slot)(state != Qt::Unchecked); });
    }
};

// One setting of the page: the model value, the terminal service's report of it and the
// window's slot that shows it, and its widget kind's three operations. A widget's content
// travels as a double: a spin box's value, a combo index, a switch as 1 or 0.
struct Setting
{
    ModelValueID id;
    void (ZantLinkTerminalService::*reported)();
    void (K27SubScreen::*showSlot)();
    void (*show)(Page &page, ModelSettings &model);
    void (*write)(ModelSettings &model, double content);
    void (*connect)(Page &page, K27SubScreen *window);
};

template<typename Kind>
constexpr Setting setting(ModelValueID id, void (ZantLinkTerminalService::*reported)(),
                          void (K27SubScreen::*showSlot)())
{
    return {id, reported, showSlot, &Kind::show, &Kind::write, &Kind::connect};
}

using S = ModelSettings;
using T = ZantLinkTerminalService;
using W = K27SubScreen;

const Setting configurationSettings[] {
    setting<SpinBox<&Page::doubleSpinBoxNominalCurrent, &S::nominalCurrent,
                    &W::handleNominalCurrent, &ConfigurationRules::nominalCurrentUnchanged>>(
        ModelValueID::NominalCurrent, &T::nominalCurrentModelValue,
        &W::handleNominalCurrentModelValue),
    setting<ComboBox<&Page::comboBoxTripClass, &S::tripClass, &W::handleTripClass>>(
        ModelValueID::TripClass, &T::tripClassModelValue, &W::handleTripClassModelValue),
    setting<CheckBox<&Page::checkBoxAutoReset, &S::overloadReset, &W::handleOverloadReset>>(
        ModelValueID::OverloadReset, &T::overloadResetModelValue,
        &W::handleOverloadResetModelValue),

    setting<CheckBox<&Page::checkBoxUndercurrentEnable, &S::undercurrentEnable,
                     &W::handleUndercurrentEnable>>(ModelValueID::UndercurrentEnable,
                                                    &T::undercurrentEnableModelValue,
                                                    &W::handleUndercurrentEnableModelValue),
    setting<SpinBox<&Page::doubleSpinBoxUndercurrentThreshold, &S::undercurrentThreshold,
                    &W::handleUndercurrentThreshold, &ConfigurationRules::thresholdUnchanged>>(
        ModelValueID::UndercurrentThreshold, &T::undercurrentThresholdModelValue,
        &W::handleUndercurrentThresholdModelValue),
    setting<ComboBox<&Page::comboBoxUndercurrentFaultType, &S::undercurrentFault,
                     &W::handleUndercurrentFaultType>>(ModelValueID::UndercurrentFaultType,
                                                       &T::undercurrentFaultTypeModelValue,
                                                       &W::handleUndercurrentFaultTypeModelValue),

    setting<CheckBox<&Page::checkBoxUndervoltageEnable, &S::undervoltageEnable,
                     &W::handleUndervoltageEnable>>(ModelValueID::UndervoltageEnable,
                                                    &T::undervoltageEnableModelValue,
                                                    &W::handleUndervoltageEnableModelValue),
    setting<SpinBox<&Page::doubleSpinBoxUndervoltageThreshold, &S::undervoltageThreshold,
                    &W::handleUndervoltageThreshold, &ConfigurationRules::thresholdUnchanged>>(
        ModelValueID::UndervoltageThreshold, &T::undervoltageThresholdModelValue,
        &W::handleUndervoltageThresholdModelValue),
    setting<ComboBox<&Page::comboBoxUndervoltageFaultType, &S::undervoltageFault,
                     &W::handleUndervoltageFaultType>>(ModelValueID::UndervoltageFaultType,
                                                       &T::undervoltageFaultTypeModelValue,
                                                       &W::handleUndervoltageFaultTypeModelValue),

    setting<CheckBox<&Page::checkBoxOvervoltageEnable, &S::overvoltageEnable,
                     &W::handleOvervoltageEnable>>(ModelValueID::OvervoltageEnable,
                                                   &T::overvoltageEnableModelValue,
                                                   &W::handleOvervoltageEnableModelValue),
    setting<SpinBox<&Page::doubleSpinBoxOvervoltageThreshold, &S::overvoltageThreshold,
                    &W::handleOvervoltageThreshold, &ConfigurationRules::thresholdUnchanged>>(
        ModelValueID::OvervoltageThreshold, &T::overvoltageThresholdModelValue,
        &W::handleOvervoltageThresholdModelValue),
    setting<ComboBox<&Page::comboBoxOvervoltageFaultType, &S::overvoltageFault,
                     &W::handleOvervoltageFaultType>>(ModelValueID::OvervoltageFaultType,
                                                      &T::overvoltageFaultTypeModelValue,
                                                      &W::handleOvervoltageFaultTypeModelValue),

    setting<CheckBox<&Page::checkBoxAsymmetryEnable, &S::loadAsymmetryEnable,
                     &W::handleAsymmetryEnable>>(ModelValueID::LoadAsymmetryEnable,
                                                 &T::loadAsymmetryEnableModelValue,
                                                 &W::handleAsymmetryEnableModelValue),
    setting<SpinBox<&Page::doubleSpinBoxAsymmetryThreshold, &S::loadAsymmetryThreshold,
                    &W::handleAsymmetryThreshold, &ConfigurationRules::thresholdUnchanged>>(
        ModelValueID::LoadAsymmetryThreshold, &T::loadAsymmetryThresholdModelValue,
        &W::handleAsymmetryThresholdModelValue),
    setting<ComboBox<&Page::comboBoxAsymmetryFaultType, &S::loadAsymmetryFault,
                     &W::handleAsymmetryFaultType>>(ModelValueID::LoadAsymmetryFaultType,
                                                    &T::loadAsymmetryFaultTypeModelValue,
                                                    &W::handleAsymmetryFaultTypeModelValue),
};

const Setting &settingOf(ModelValueID id)
{
    for (const Setting &row : configurationSettings) {
        if (row.id == id)
            return row;
    }
    Q_UNREACHABLE();
    return configurationSettings[0];
}

// The upper end of the range a setting may take now (ConfigurationRules::allowedRange).
double allowedMaximum(ModelValueID id, ModelSettings &model)
{
    return ConfigurationRules::allowedRange(id, model)
        .value_or(ConfigurationRules::Range {})
        .maximum;
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

    for (const Setting &row : configurationSettings)
        row.connect(page, this);
    // The softstart switch writes through handleSoftstart, which checks the Softstart right
    // first.
    connect(page.checkBoxSoftstart, &QCheckBox::stateChanged, this,
            [this](int state) { handleSoftstart(state != Qt::Unchecked); });
    connect(page.pushButtonFactoryReset, &QPushButton::clicked, this,
            &K27SubScreen::handleFactoryReset);

    const ZantLinkTerminalService *terminal = terminalService().data();
    for (const Setting &row : configurationSettings)
        connect(terminal, row.reported, this, row.showSlot);
    connect(terminal, &ZantLinkTerminalService::nominalCurrentMaxModelValue, this,
            &K27SubScreen::handleNominalCurrentMaxModelValue);
    connect(terminal, &ZantLinkTerminalService::tripClassMaxModelValue, this,
            &K27SubScreen::handleTripClassMaxModelValue);
}

// ---- changes the user made: each through its row of the table ----------------------------

void K27SubScreen::handleNominalCurrent(double value)
{
    settingOf(ModelValueID::NominalCurrent).write(database()->settings(), value);
}

void K27SubScreen::handleTripClass(int index)
{
    settingOf(ModelValueID::TripClass).write(database()->settings(), index);
}

void K27SubScreen::handleOverloadReset(bool autoReset)
{
    settingOf(ModelValueID::OverloadReset).write(database()->settings(), autoReset);
}

void K27SubScreen::handleUndercurrentEnable(bool enable)
{
    settingOf(ModelValueID::UndercurrentEnable).write(database()->settings(), enable);
}

void K27SubScreen::handleUndercurrentThreshold(double value)
{
    settingOf(ModelValueID::UndercurrentThreshold).write(database()->settings(), value);
}

void K27SubScreen::handleUndercurrentFaultType(int index)
{
    settingOf(ModelValueID::UndercurrentFaultType).write(database()->settings(), index);
}

void K27SubScreen::handleUndervoltageEnable(bool enable)
{
    settingOf(ModelValueID::UndervoltageEnable).write(database()->settings(), enable);
}

void K27SubScreen::handleUndervoltageThreshold(double value)
{
    settingOf(ModelValueID::UndervoltageThreshold).write(database()->settings(), value);
}

void K27SubScreen::handleUndervoltageFaultType(int index)
{
    settingOf(ModelValueID::UndervoltageFaultType).write(database()->settings(), index);
}

void K27SubScreen::handleOvervoltageEnable(bool enable)
{
    settingOf(ModelValueID::OvervoltageEnable).write(database()->settings(), enable);
}

void K27SubScreen::handleOvervoltageThreshold(double value)
{
    settingOf(ModelValueID::OvervoltageThreshold).write(database()->settings(), value);
}

void K27SubScreen::handleOvervoltageFaultType(int index)
{
    settingOf(ModelValueID::OvervoltageFaultType).write(database()->settings(), index);
}

void K27SubScreen::handleAsymmetryEnable(bool enable)
{
    settingOf(ModelValueID::LoadAsymmetryEnable).write(database()->settings(), enable);
}

void K27SubScreen::handleAsymmetryThreshold(double value)
{
    settingOf(ModelValueID::LoadAsymmetryThreshold).write(database()->settings(), value);
}

void K27SubScreen::handleAsymmetryFaultType(int index)
{
    settingOf(ModelValueID::LoadAsymmetryFaultType).write(database()->settings(), index);
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
    settingOf(ModelValueID::NominalCurrent).show(*m_configurationPage, settings);
    lowerThresholdMaximum(m_configurationPage->doubleSpinBoxUndercurrentThreshold,
                          settings.undercurrentThreshold(),
                          float(allowedMaximum(ModelValueID::UndercurrentThreshold, settings)));
    lowerThresholdMaximum(m_configurationPage->doubleSpinBoxAsymmetryThreshold,
                          settings.loadAsymmetryThreshold(),
                          float(allowedMaximum(ModelValueID::LoadAsymmetryThreshold, settings)));
}

void K27SubScreen::handleNominalCurrentMaxModelValue()
{
    Model::Database::ModelSettings &settings = database()->settings();
    const float maximum = float(allowedMaximum(ModelValueID::NominalCurrent, settings));
    settings.nominalCurrent().setMaximum(maximum);
    settings.nominalCurrent().recomputeNeighbours();
    showReportedValue(m_configurationPage->doubleSpinBoxNominalCurrent, &QDoubleSpinBox::setMaximum,
                      double(maximum));
}

void K27SubScreen::handleTripClassModelValue()
{
    settingOf(ModelValueID::TripClass).show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleTripClassMaxModelValue()
{
    Model::Database::ModelSettings &settings = database()->settings();
    const auto maximum = Codec::fromNumber<Types::Settings::TripClass>(
        static_cast<quint32>(allowedMaximum(ModelValueID::TripClass, settings)));
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
    settingOf(ModelValueID::OverloadReset).show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleUndercurrentThresholdModelValue()
{
    settingOf(ModelValueID::UndercurrentThreshold)
        .show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleUndercurrentFaultTypeModelValue()
{
    settingOf(ModelValueID::UndercurrentFaultType)
        .show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleUndercurrentEnableModelValue()
{
    settingOf(ModelValueID::UndercurrentEnable).show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleUndervoltageThresholdModelValue()
{
    settingOf(ModelValueID::UndervoltageThreshold)
        .show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleUndervoltageFaultTypeModelValue()
{
    settingOf(ModelValueID::UndervoltageFaultType)
        .show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleUndervoltageEnableModelValue()
{
    settingOf(ModelValueID::UndervoltageEnable).show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleOvervoltageThresholdModelValue()
{
    settingOf(ModelValueID::OvervoltageThreshold)
        .show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleOvervoltageFaultTypeModelValue()
{
    settingOf(ModelValueID::OvervoltageFaultType)
        .show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleOvervoltageEnableModelValue()
{
    settingOf(ModelValueID::OvervoltageEnable).show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleAsymmetryThresholdModelValue()
{
    settingOf(ModelValueID::LoadAsymmetryThreshold)
        .show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleAsymmetryFaultTypeModelValue()
{
    settingOf(ModelValueID::LoadAsymmetryFaultType)
        .show(*m_configurationPage, database()->settings());
}

void K27SubScreen::handleAsymmetryEnableModelValue()
{
    settingOf(ModelValueID::LoadAsymmetryEnable).show(*m_configurationPage, database()->settings());
}
