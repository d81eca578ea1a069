#include "application/windows/StatusDisplay.h"

#include "model/interfaces/ModelTypes.h"

namespace Application::K27 {

namespace {

struct DeviceClass
{
    quint32 articleNumber;
    const char *productName;
    const char *family;
};

using DeviceType = Model::Interfaces::ModelTypes::Information::DeviceType;
using FaultType = Model::Interfaces::ModelTypes::Fault::Type;

const DeviceClass deviceClasses[] {
    {quint32(DeviceType::Serra2_6A), "TORVEX®K27 Serra 2,6 A", "torvex_k27_serra"},
    {quint32(DeviceType::Serra6_6A), "TORVEX®K27 Serra 6,6 A", "torvex_k27_serra"},
    {quint32(DeviceType::SerraPlus2_6A), "TORVEX®K27 Serra Plus 2,6 A", "torvex_k27_serra+"},
    {quint32(DeviceType::SerraPlus6_6A), "TORVEX®K27 Serra Plus 6,6 A", "torvex_k27_serra+"},
};

// Warning kind 15 has a code but neither a name in the model nor a picture.
constexpr int unnamedWarningKind = 15;

const DeviceClass *deviceClass(quint32 articleNumber)
{
    for (const DeviceClass &entry : deviceClasses) {
        if (entry.articleNumber == articleNumber)
            return &entry;
    }
    return nullptr;
}

// The number after "E " or "W " by fault kind 1 … 15; kind 15 only has a warning code.
const int faultCodes[] {1410, 1406, 1407, 1408, 1402, 1409, 1404, 1403,
                        1405, 1413, 1414, 1411, 1412, 1415, 1416};
constexpr int lastErrorKind = int(FaultType::SecurityClearance);
constexpr int lastWarningKind = unnamedWarningKind;

} // namespace

QString StatusDisplay::productName(quint32 articleNumber)
{
    const DeviceClass *entry = deviceClass(articleNumber);
    return entry ? QString::fromUtf8(entry->productName) : QStringLiteral(" ");
}

QString StatusDisplay::pictureFamily(quint32 articleNumber)
{
    const DeviceClass *entry = deviceClass(articleNumber);
    return entry ? QString::fromLatin1(entry->family) : QString();
}

QString StatusDisplay::picturePath(const QString &family, const QString &kind)
{
    if (family.isEmpty() || kind.isEmpty())
        return QString();
    return QStringLiteral(":/images/%1_%2.png").arg(family, kind);
}

QString StatusDisplay::errorCode(int kind)
{
    if (kind < 1 || kind > lastErrorKind)
        return QStringLiteral(" ");
    return QStringLiteral("E %1").arg(faultCodes[kind - 1]);
}

QString StatusDisplay::warningCode(int kind)
{
    if (kind < 1 || kind > lastWarningKind)
        return QStringLiteral(" ");
    return QStringLiteral("W %1").arg(faultCodes[kind - 1]);
}

QString StatusDisplay::errorPictureKind(int kind)
{
    switch (kind) {
    case int(FaultType::ShortCircuit):
    case int(FaultType::Overload):
    case int(FaultType::PhaseAsymmetry):
    case int(FaultType::PhaseLoss):
    case int(FaultType::Undercurrent):
        return QStringLiteral("error_load");
    case int(FaultType::SupplyLoss):
    case int(FaultType::UndervoltageSupply):
    case int(FaultType::OvervoltageSupply):
    case int(FaultType::UndervoltageAux):
    case int(FaultType::OvervoltageAux):
        return QStringLiteral("error_supply");
    default:
        return QStringLiteral("error");
    }
}

QString StatusDisplay::warningPictureKind(int kind)
{
    switch (kind) {
    case int(FaultType::Overload):
    case int(FaultType::PhaseAsymmetry):
    case int(FaultType::Undercurrent):
        return QStringLiteral("warning_load");
    case int(FaultType::SupplyLoss):
    case int(FaultType::UndervoltageSupply):
    case int(FaultType::OvervoltageSupply):
    case int(FaultType::UndervoltageAux):
    case int(FaultType::OvervoltageAux):
    case int(FaultType::SecurityClearance):
        return QStringLiteral("warning_supply");
    case unnamedWarningKind:
        // A warning the device has no picture for: the previous picture stays.
        return QString();
    default:
        return QStringLiteral("warning");
    }
}

StatusDisplay::Detail StatusDisplay::errorDetail(int kind)
{
    switch (kind) {
    case int(FaultType::Overload):
        return Detail::Capacity;
    case int(FaultType::ShortCircuit):
    case int(FaultType::PhaseAsymmetry):
    case int(FaultType::PhaseLoss):
    case int(FaultType::Undercurrent):
    case int(FaultType::SupplyLoss):
    case int(FaultType::UndervoltageSupply):
    case int(FaultType::OvervoltageSupply):
        return Detail::Phase;
    default:
        return Detail::None;
    }
}

StatusDisplay::Detail StatusDisplay::warningDetail(int kind)
{
    switch (kind) {
    case int(FaultType::Overload):
        return Detail::Capacity;
    case int(FaultType::PhaseAsymmetry):
    case int(FaultType::Undercurrent):
    case int(FaultType::SupplyLoss):
    case int(FaultType::UndervoltageSupply):
    case int(FaultType::OvervoltageSupply):
        return Detail::Phase;
    default:
        return Detail::None;
    }
}

QString StatusDisplay::faultInfo(const QString &text, Detail detail, const Input &input)
{
    switch (detail) {
    case Detail::Phase:
        return text + QLatin1Char(' ') + input.phaseText;
    case Detail::Capacity:
        return text + QLatin1Char(' ') + input.capacityText + QStringLiteral(" %");
    case Detail::None:
        break;
    }
    return text + QLatin1Char(' ');
}

StatusDisplay::View StatusDisplay::faultView(const Input &input)
{
    const QString family = pictureFamily(input.articleNumber);
    View view;
    if (input.error != 0) {
        view.motorStatus = MotorStatus::Error;
        view.direction = Direction::None;
        view.faultInfo = faultInfo(input.errorText, errorDetail(input.error), input);
        const QString picture = picturePath(family, errorPictureKind(input.error));
        if (!picture.isEmpty())
            view.picture = picture;
        view.faultCode = errorCode(input.error);
        return view;
    }
    if (input.warning == 0) {
        view = operatingModeView(input);
        view.faultCode = QString();
        view.faultInfo = QString();
        return view;
    }
    view.motorStatus = MotorStatus::Warning;
    view.faultInfo = faultInfo(input.warningText, warningDetail(input.warning), input);
    const QString picture = picturePath(family, warningPictureKind(input.warning));
    if (!picture.isEmpty())
        view.picture = picture;
    view.faultCode = warningCode(input.warning);
    return view;
}

StatusDisplay::View StatusDisplay::operatingModeView(const Input &input)
{
    View view;
    MotorStatus status;
    switch (input.operatingMode) {
    case 0:
        view.direction = Direction::None;
        status = MotorStatus::Idle;
        break;
    case 1:
        view.direction = Direction::Forward;
        status = MotorStatus::Forward;
        break;
    case 2:
        view.direction = Direction::Backward;
        status = MotorStatus::Backward;
        break;
    default:
        return view;
    }
    if (input.error != 0 || input.warning != 0)
        return view;
    view.motorStatus = status;
    const QString picture = picturePath(pictureFamily(input.articleNumber),
                                        status == MotorStatus::Idle ? QStringLiteral("standby")
                                                                    : QStringLiteral("operating"));
    if (!picture.isEmpty())
        view.picture = picture;
    return view;
}

} // namespace Application::K27
