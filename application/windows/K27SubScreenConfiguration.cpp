// The Configuration page: the five settings pages, every widget bound to its model value, the
// ranges that follow the device, the trip class items and the factory reset.

#include "application/core/ConfigurationRules.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/ReportedValue.h"
#include "application/windows/SettingSpinBox.h"
#include "application/windows/YesNoQuestion.h"
#include "model/database/ModelDatabase.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreenConfigurationPage.h"

#include <QLabel>
#include <QSignalBlocker>
#include <optional>
#include <tuple>

using Application::K27::ConfigurationRules;
using Application::K27::ResultText;
using Application::K27::SettingSpinBox;
using Application::K27::showReportedValue;
using Application::K27::writeUserChange;
using Application::K27::YesNoQuestion;
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

// The range ConfigurationRules gives the setting now, shown by its field.
void showAllowedRange(SettingSpinBox *box, ModelSettings &model, ModelValueID id)
{
    if (const auto range = ConfigurationRules::allowedRange(id, model))
        box->setAllowedRange(range->minimum, range->maximum);
}

// How a kind of widget shows a setting and reports a change of the user; widget is the page's
// member, value the model's accessor. A change reaches the window's slot for the setting
// (slot), which writes it through the table. Every kind has four operations: show the model's
// content, accept a change (or refuse it with a word), write it, and connect the widget.

// A number field: written once, when the person has finished the number, and only within the
// range ConfigurationRules::allowedRange gives; the field's hint shows that range.
template<auto widget, auto value, auto slot, bool (*unchanged)(double, float)> struct SpinBox
{
    static void show(Page &page, ModelSettings &model, ModelValueID id)
    {
        SettingSpinBox *const box = page.*widget;
        showAllowedRange(box, model, id);
        // What the person is typing stays; the report is shown once they have finished.
        if (box->isBeingEdited())
            return;
        showReportedValue(box, &QDoubleSpinBox::setValue, double((model.*value)().value()));
        box->showHint();
    }
    static bool accept(Page &page, ModelSettings &model, ModelValueID id, double edited)
    {
        SettingSpinBox *const box = page.*widget;
        showAllowedRange(box, model, id);
        if (box->allows(edited))
            return true;
        // Not sent: the field goes back to what the device holds and its hint says why.
        box->refuse(edited);
        showReportedValue(box, &QDoubleSpinBox::setValue, double((model.*value)().value()));
        return false;
    }
    static bool write(ModelSettings &model, double edited)
    {
        return writeUserChange((model.*value)(), static_cast<float>(edited),
                               [edited](float current) { return unchanged(edited, current); });
    }
    static void connect(Page &page, K27SubScreen *window, void (K27SubScreen::*showSlot)())
    {
        QObject::connect(page.*widget, qOverload<double>(&QDoubleSpinBox::valueChanged), window,
                         slot);
        // A typed number equal to the one the field held before gives no valueChanged, yet a
        // report may have changed the setting while the person typed: what they finished is
        // what they chose (the slot writes nothing when the model holds it already).
        QObject::connect(page.*widget, &SettingSpinBox::typedNumberFinished, window, slot);
        // Finished (Return, or the field left): the field shows what the model holds, the
        // number just written or a report that waited while the person was typing.
        QObject::connect(page.*widget, &QAbstractSpinBox::editingFinished, window, showSlot);
    }
};

// A change the user made to a widget with no range of its own is always taken.
bool acceptAny(Page &, ModelSettings &, ModelValueID, double)
{
    return true;
}

// A combo box whose index is the content's number (trip class, fault type); no index (-1)
// writes nothing.
template<auto widget, auto value, auto slot> struct ComboBox
{
    using Content =
        typename std::decay_t<decltype((std::declval<ModelSettings &>().*value)())>::ValueType;

    static void show(Page &page, ModelSettings &model, ModelValueID)
    {
        showReportedValue(page.*widget, &QComboBox::setCurrentIndex,
                          int(Codec::toNumber((model.*value)().value())));
    }
    static constexpr auto accept = &acceptAny;
    static bool write(ModelSettings &model, double index)
    {
        if (index < 0)
            return false;
        return writeUserChange(
            (model.*value)(),
            Codec::fromNumber<Content>(static_cast<quint8>(static_cast<int>(index))));
    }
    static void connect(Page &page, K27SubScreen *window, void (K27SubScreen::*)())
    {
        QObject::connect(page.*widget, qOverload<int>(&QComboBox::currentIndexChanged), window,
                         slot);
    }
};

// A switch; any state but unchecked counts as on.
template<auto widget, auto value, auto slot> struct CheckBox
{
    static void show(Page &page, ModelSettings &model, ModelValueID)
    {
        showReportedValue(page.*widget, &QCheckBox::setChecked, (model.*value)().value());
    }
    static constexpr auto accept = &acceptAny;
    static bool write(ModelSettings &model, double checked)
    {
        return writeUserChange((model.*value)(), checked != 0.0);
    }
    static void connect(Page &page, K27SubScreen *window, void (K27SubScreen::*)())
    {
        QObject::connect(page.*widget, &QCheckBox::stateChanged, window,
                         [window](int state) { (window->*slot)(state != Qt::Unchecked); });
    }
};

// One setting of the page: the model value, the terminal service's report of it and the
// window's slot that shows it, and its widget kind's operations. A widget's content travels as
// a double: a spin box's value, a combo index, a switch as 1 or 0.
struct Setting
{
    ModelValueID id;
    void (ZantLinkTerminalService::*reported)();
    void (K27SubScreen::*showSlot)();
    void (*showKind)(Page &page, ModelSettings &model, ModelValueID id);
    bool (*acceptKind)(Page &page, ModelSettings &model, ModelValueID id, double content);
    bool (*writeKind)(ModelSettings &model, double content);
    void (*connectKind)(Page &page, K27SubScreen *window, void (K27SubScreen::*showSlot)());

    void show(Page &page, ModelSettings &model) const { showKind(page, model, id); }
    bool accept(Page &page, ModelSettings &model, double content) const
    {
        return acceptKind(page, model, id, content);
    }
    // Sets and sends the content unless the model holds it already; whether it was sent.
    bool write(ModelSettings &model, double content) const { return writeKind(model, content); }
    void connect(Page &page, K27SubScreen *window) const { connectKind(page, window, showSlot); }
};

template<typename Kind>
constexpr Setting setting(ModelValueID id, void (ZantLinkTerminalService::*reported)(),
                          void (K27SubScreen::*showSlot)())
{
    return {id, reported, showSlot, &Kind::show, Kind::accept, &Kind::write, &Kind::connect};
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

// The upper end of the range a setting may take now (ConfigurationRules::allowedRange), given
// the nominal current when one is about to be written.
double allowedMaximum(ModelValueID id, ModelSettings &model,
                      std::optional<float> nominalCurrent = std::nullopt)
{
    return ConfigurationRules::allowedRange(id, model, nominalCurrent)
        .value_or(ConfigurationRules::Range {})
        .maximum;
}

// The thresholds whose maximum the nominal current sets, in the order of the page, with what
// the result line says when a lower nominal current brings one down.
struct LimitedThreshold
{
    ModelValueID id;
    SettingSpinBox *Page::*box;
    Model::Interfaces::ModelDisplayValue<float> &(*value)(ModelSettings &model);
    const char *consequence;
};

const LimitedThreshold limitedThresholds[] {
    {ModelValueID::UndercurrentThreshold, &Page::doubleSpinBoxUndercurrentThreshold,
     [](ModelSettings &model) -> Model::Interfaces::ModelDisplayValue<float> & {
         return model.undercurrentThreshold();
     },
     //: %1 the threshold before, %2 after, both with their unit
     QT_TRANSLATE_NOOP("K27SubScreen",
                       "Undercurrent threshold %1 \u2192 %2, limited by the nominal current")},
    {ModelValueID::LoadAsymmetryThreshold, &Page::doubleSpinBoxAsymmetryThreshold,
     [](ModelSettings &model) -> Model::Interfaces::ModelDisplayValue<float> & {
         return model.loadAsymmetryThreshold();
     },
     //: %1 the threshold before, %2 after, both with their unit
     QT_TRANSLATE_NOOP("K27SubScreen",
                       "Load asymmetry threshold %1 \u2192 %2, limited by the nominal current")},
};

// A nominal current the person chose that lies below a threshold brings the threshold down to
// it, on the device too, before the nominal current is written: the device never holds a
// threshold above its nominal current, and nothing of it happens unsaid. Returns the lines for
// the result line.
QStringList lowerThresholdsFor(Page &page, ModelSettings &model, float nominalCurrent)
{
    QStringList consequences;
    for (const LimitedThreshold &limited : limitedThresholds) {
        Model::Interfaces::ModelDisplayValue<float> &threshold = limited.value(model);
        const float maximum = float(allowedMaximum(limited.id, model, nominalCurrent));
        if (!ConfigurationRules::exceedsMaximum(threshold.value(), maximum))
            continue;
        const float before = threshold.value();
        threshold.setValue(maximum);
        threshold.send();
        SettingSpinBox *const box = page.*limited.box;
        showReportedValue(box, &QDoubleSpinBox::setValue, double(maximum));
        consequences.append(
            K27SubScreen::tr(limited.consequence)
                .arg(box->quantityText(double(before)), box->quantityText(double(maximum))));
    }
    return consequences;
}

// A change the person made: written when its widget takes it and the model does not hold it
// already.
void writeSetting(Page &page, ModelSettings &model, ModelValueID id, double content)
{
    const Setting &row = settingOf(id);
    if (row.accept(page, model, content))
        row.write(model, content);
}

} // namespace

void K27SubScreen::connectConfiguration()
{
    const ZantLinkTerminalService *terminal = terminalService().data();
    for (const Setting &row : configurationSettings)
        connect(terminal, row.reported, this, row.showSlot);
    connect(terminal, &ZantLinkTerminalService::nominalCurrentMaxModelValue, this,
            &K27SubScreen::handleNominalCurrentMaxModelValue);
    connect(terminal, &ZantLinkTerminalService::tripClassMaxModelValue, this,
            &K27SubScreen::handleTripClassMaxModelValue);
}

void K27SubScreen::connectConfigurationPage()
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

    // The fields show the form's numbers until the device reports its own; their ranges are
    // the catalogue's meanwhile.
    const std::tuple<SettingSpinBox *, QLabel *, ModelValueID> fields[] {
        {page.doubleSpinBoxNominalCurrent, page.labelNominalCurrentRange,
         ModelValueID::NominalCurrent},
        {page.doubleSpinBoxUndercurrentThreshold, page.labelUndercurrentThresholdRange,
         ModelValueID::UndercurrentThreshold},
        {page.doubleSpinBoxUndervoltageThreshold, page.labelUndervoltageThresholdRange,
         ModelValueID::UndervoltageThreshold},
        {page.doubleSpinBoxOvervoltageThreshold, page.labelOvervoltageThresholdRange,
         ModelValueID::OvervoltageThreshold},
        {page.doubleSpinBoxAsymmetryThreshold, page.labelAsymmetryThresholdRange,
         ModelValueID::LoadAsymmetryThreshold}};
    for (const auto &[box, label, id] : fields) {
        box->setHintLabel(label);
        showAllowedRange(box, database()->settings(), id);
    }

    for (const Setting &row : configurationSettings)
        row.connect(page, this);
    // The softstart switch writes through handleSoftstart, which checks the Softstart right
    // first.
    connect(page.checkBoxSoftstart, &QCheckBox::stateChanged, this,
            [this](int state) { handleSoftstart(state != Qt::Unchecked); });
    connect(page.pushButtonFactoryReset, &QPushButton::clicked, this,
            &K27SubScreen::handleFactoryReset);
}

void K27SubScreen::disconnectConfiguration()
{
    // A field left with a number typed into it finishes that number when the window goes
    // (it loses the focus): the window's slots must not run on a device that is gone.
    for (const SettingSpinBox *box :
         m_configurationPage->stackedWidgetSettings->findChildren<SettingSpinBox *>())
        disconnect(box, nullptr, this, nullptr);
}

void K27SubScreen::showNumberFields()
{
    for (const ModelValueID id :
         {ModelValueID::NominalCurrent, ModelValueID::UndercurrentThreshold,
          ModelValueID::UndervoltageThreshold, ModelValueID::OvervoltageThreshold,
          ModelValueID::LoadAsymmetryThreshold})
        showSetting(int(id));
}

void K27SubScreen::showSetting(int id)
{
    // A page not built yet shows the model's content once it is.
    showOnPage(ConfigurationPage, QStringLiteral("setting %1").arg(id), [this, id] {
        settingOf(static_cast<ModelValueID>(id)).show(*m_configurationPage, database()->settings());
    });
}

Ui::K27SubScreenConfigurationPage &K27SubScreen::configurationPage()
{
    buildPage(ConfigurationPage);
    return *m_configurationPage;
}

void K27SubScreen::showConfigurationResult(const QString &text, ResultText::Kind kind)
{
    // The page's one result line, shared with the settings file.
    showOnPage(ConfigurationPage, QStringLiteral("result"), [this, text, kind] {
        ResultText::show(m_configurationPage->labelSettingsFileResult, text, kind);
    });
}

// ---- changes the user made: each through its row of the table ----------------------------

void K27SubScreen::handleNominalCurrent(double value)
{
    Model::Database::ModelSettings &settings = database()->settings();
    const Setting &row = settingOf(ModelValueID::NominalCurrent);
    if (!row.accept(configurationPage(), settings, value)
        || ConfigurationRules::nominalCurrentUnchanged(value, settings.nominalCurrent().value()))
        return;
    const QStringList consequences
        = lowerThresholdsFor(configurationPage(), settings, static_cast<float>(value));
    row.write(settings, value);
    showNumberFields();
    if (!consequences.isEmpty())
        showConfigurationResult(consequences.join(QLatin1Char('\n')), ResultText::Kind::Success);
}

void K27SubScreen::handleTripClass(int index)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::TripClass, index);
}

void K27SubScreen::handleOverloadReset(bool autoReset)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::OverloadReset,
                 autoReset);
}

void K27SubScreen::handleUndercurrentEnable(bool enable)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::UndercurrentEnable,
                 enable);
}

void K27SubScreen::handleUndercurrentThreshold(double value)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::UndercurrentThreshold,
                 value);
}

void K27SubScreen::handleUndercurrentFaultType(int index)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::UndercurrentFaultType,
                 index);
}

void K27SubScreen::handleUndervoltageEnable(bool enable)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::UndervoltageEnable,
                 enable);
}

void K27SubScreen::handleUndervoltageThreshold(double value)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::UndervoltageThreshold,
                 value);
}

void K27SubScreen::handleUndervoltageFaultType(int index)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::UndervoltageFaultType,
                 index);
}

void K27SubScreen::handleOvervoltageEnable(bool enable)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::OvervoltageEnable,
                 enable);
}

void K27SubScreen::handleOvervoltageThreshold(double value)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::OvervoltageThreshold,
                 value);
}

void K27SubScreen::handleOvervoltageFaultType(int index)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::OvervoltageFaultType,
                 index);
}

void K27SubScreen::handleAsymmetryEnable(bool enable)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::LoadAsymmetryEnable,
                 enable);
}

void K27SubScreen::handleAsymmetryThreshold(double value)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::LoadAsymmetryThreshold,
                 value);
}

void K27SubScreen::handleAsymmetryFaultType(int index)
{
    writeSetting(configurationPage(), database()->settings(), ModelValueID::LoadAsymmetryFaultType,
                 index);
}

void K27SubScreen::handleFactoryReset()
{
    if (!deviceConnected()) {
        showConfigurationResult(tr("Not reset: no device is connected."), ResultText::Kind::Error);
        return;
    }
    // The device is named by its serial number once it has reported one, else by its port.
    const quint32 serialNumber = database()->information().serialNumber().value();
    const QString serialText = QString::number(serialNumber);
    YesNoQuestion::Request question;
    question.title = tr("Reset to factory settings");
    question.text = serialNumber != 0
        ? tr("Reset the device with serial number %1 to its factory settings?\n\nEvery "
             "protection setting on it goes back to its factory value.")
              .arg(serialText)
        : tr("Reset the device on %1 to its factory settings?\n\nEvery protection setting on "
             "it goes back to its factory value.")
              .arg(m_portName);
    if (!YesNoQuestion::ask(this, question))
        return;
    database()->actions().factoryReset().fire();
    // The device reports its factory values back and the widgets follow.
    showConfigurationResult(
        serialNumber != 0
            ? tr("Factory reset sent to the device with serial number %1.").arg(serialText)
            : tr("Factory reset sent to the device on %1.").arg(m_portName),
        ResultText::Kind::Success);
}

// ---- values the device reported -------------------------------------------------------------

void K27SubScreen::handleNominalCurrentModelValue()
{
    // The maxima of the two thresholds follow; a threshold the device holds above its
    // nominal current is shown as it is, with its hint saying so, and not written: a report
    // is never written back.
    Model::Database::ModelSettings &settings = database()->settings();
    for (const LimitedThreshold &limited : limitedThresholds) {
        Model::Interfaces::ModelDisplayValue<float> &threshold = limited.value(settings);
        threshold.setMaximum(float(allowedMaximum(limited.id, settings)));
        threshold.recomputeNeighbours();
    }
    showNumberFields();
}

void K27SubScreen::handleNominalCurrentMaxModelValue()
{
    Model::Database::ModelSettings &settings = database()->settings();
    const float maximum = float(allowedMaximum(ModelValueID::NominalCurrent, settings));
    settings.nominalCurrent().setMaximum(maximum);
    settings.nominalCurrent().recomputeNeighbours();
    showSetting(int(ModelValueID::NominalCurrent));
}

void K27SubScreen::handleTripClassModelValue()
{
    showSetting(int(ModelValueID::TripClass));
}

void K27SubScreen::handleTripClassMaxModelValue()
{
    Model::Database::ModelSettings &settings = database()->settings();
    const auto maximum = Codec::fromNumber<Types::Settings::TripClass>(
        static_cast<quint32>(allowedMaximum(ModelValueID::TripClass, settings)));
    settings.tripClass().setMaximum(maximum);
    settings.tripClass().recomputeNeighbours();

    const int count = int(Codec::toNumber(maximum)) + 1;
    showOnPage(ConfigurationPage, QStringLiteral("trip classes"), [this, count] {
        QComboBox *const combo = m_configurationPage->comboBoxTripClass;
        // Items come and go; none of that is a choice the user made.
        const QSignalBlocker blocker(combo);
        combo->setMaxCount(count);
        for (int index = combo->count(); index < count; ++index)
            combo->addItem(ConfigurationRules::tripClassName(index));
    });
    handleTripClassModelValue();
}

void K27SubScreen::handleOverloadResetModelValue()
{
    showSetting(int(ModelValueID::OverloadReset));
}

void K27SubScreen::handleUndercurrentThresholdModelValue()
{
    showSetting(int(ModelValueID::UndercurrentThreshold));
}

void K27SubScreen::handleUndercurrentFaultTypeModelValue()
{
    showSetting(int(ModelValueID::UndercurrentFaultType));
}

void K27SubScreen::handleUndercurrentEnableModelValue()
{
    showSetting(int(ModelValueID::UndercurrentEnable));
}

void K27SubScreen::handleUndervoltageThresholdModelValue()
{
    showSetting(int(ModelValueID::UndervoltageThreshold));
}

void K27SubScreen::handleUndervoltageFaultTypeModelValue()
{
    showSetting(int(ModelValueID::UndervoltageFaultType));
}

void K27SubScreen::handleUndervoltageEnableModelValue()
{
    showSetting(int(ModelValueID::UndervoltageEnable));
}

void K27SubScreen::handleOvervoltageThresholdModelValue()
{
    showSetting(int(ModelValueID::OvervoltageThreshold));
}

void K27SubScreen::handleOvervoltageFaultTypeModelValue()
{
    showSetting(int(ModelValueID::OvervoltageFaultType));
}

void K27SubScreen::handleOvervoltageEnableModelValue()
{
    showSetting(int(ModelValueID::OvervoltageEnable));
}

void K27SubScreen::handleAsymmetryThresholdModelValue()
{
    showSetting(int(ModelValueID::LoadAsymmetryThreshold));
}

void K27SubScreen::handleAsymmetryFaultTypeModelValue()
{
    showSetting(int(ModelValueID::LoadAsymmetryFaultType));
}

void K27SubScreen::handleAsymmetryEnableModelValue()
{
    showSetting(int(ModelValueID::LoadAsymmetryEnable));
}
