#include "application/core/StatusDisplay.h"

#include "model/interfaces/ModelTypes.h"

#include <QCoreApplication>

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

const DeviceClass *deviceClass(quint32 articleNumber)
{
    for (const DeviceClass &entry : deviceClasses) {
        if (entry.articleNumber == articleNumber)
            return &entry;
    }
    return nullptr;
}

// The model's fault texts, so that they reach the translation. They keep the device window's
// translation context, where they have always been translated.
[[maybe_unused]] const char *const faultTexts[] {
    QT_TRANSLATE_NOOP("K27SubScreen", "Device OK"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Short Circuit"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Overload"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Phase Asymmetry"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Phase Loss"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Undercurrent"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Supply Loss"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Undervoltage Supply"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Overvoltage Supply"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Overtemperature"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Undervoltage Aux"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Overvoltage Aux"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Device Error"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Communication Error"),
    QT_TRANSLATE_NOOP("K27SubScreen", "Security Clearance"),
};

using Detail = StatusDisplay::Detail;

// What the display shows for one fault kind, as an error and as a warning. A picture kind of
// nullptr leaves the picture as it is; a code of 0 shows no code.
struct FaultKind
{
    int kind;
    int code;
    bool isError;
    const char *errorPicture;
    Detail errorDetail;
    const char *warningPicture;
    Detail warningDetail;
};

// Warning kind 15 has a code but neither a name in the model nor a picture.
constexpr int unnamedWarningKind = 15;

const FaultKind faultKinds[] {
    {int(FaultType::ShortCircuit), 1410, true, "error_load", Detail::Phase, "warning",
     Detail::None},
    {int(FaultType::Overload), 1406, true, "error_load", Detail::Capacity, "warning_load",
     Detail::Capacity},
    {int(FaultType::PhaseAsymmetry), 1407, true, "error_load", Detail::Phase, "warning_load",
     Detail::Phase},
    {int(FaultType::PhaseLoss), 1408, true, "error_load", Detail::Phase, "warning", Detail::None},
    {int(FaultType::Undercurrent), 1402, true, "error_load", Detail::Phase, "warning_load",
     Detail::Phase},
    {int(FaultType::SupplyLoss), 1409, true, "error_supply", Detail::Phase, "warning_supply",
     Detail::Phase},
    {int(FaultType::UndervoltageSupply), 1404, true, "error_supply", Detail::Phase,
     "warning_supply", Detail::Phase},
    {int(FaultType::OvervoltageSupply), 1403, true, "error_supply", Detail::Phase, "warning_supply",
     Detail::Phase},
    {int(FaultType::Overtemperature), 1405, true, "error", Detail::None, "warning", Detail::None},
    {int(FaultType::UndervoltageAux), 1413, true, "error_supply", Detail::None, "warning_supply",
     Detail::None},
    {int(FaultType::OvervoltageAux), 1414, true, "error_supply", Detail::None, "warning_supply",
     Detail::None},
    {int(FaultType::DeviceError), 1411, true, "error", Detail::None, "warning", Detail::None},
    {int(FaultType::CommunicationError), 1412, true, "error", Detail::None, "warning",
     Detail::None},
    {int(FaultType::SecurityClearance), 1415, true, "error", Detail::None, "warning_supply",
     Detail::None},
    {unnamedWarningKind, 1416, false, "error", Detail::None, nullptr, Detail::None},
};

// Kinds outside the table: no code, the plain pictures, no detail.
constexpr FaultKind otherKind {0, 0, false, "error", Detail::None, "warning", Detail::None};

const FaultKind &faultKind(int kind)
{
    for (const FaultKind &row : faultKinds) {
        if (row.kind == kind)
            return row;
    }
    return otherKind;
}

QString faultCode(char letter, int code)
{
    if (code == 0)
        return QStringLiteral(" ");
    return QStringLiteral("%1 %2").arg(QLatin1Char(letter)).arg(code);
}

QString pictureKind(const char *kind)
{
    return kind ? QString::fromLatin1(kind) : QString();
}

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

QString StatusDisplay::faultName(const QByteArray &modelText)
{
    return QCoreApplication::translate("K27SubScreen", modelText.constData());
}

QString StatusDisplay::errorCode(int kind)
{
    const FaultKind &row = faultKind(kind);
    return faultCode('E', row.isError ? row.code : 0);
}

QString StatusDisplay::warningCode(int kind)
{
    return faultCode('W', faultKind(kind).code);
}

QString StatusDisplay::errorPictureKind(int kind)
{
    return pictureKind(faultKind(kind).errorPicture);
}

QString StatusDisplay::warningPictureKind(int kind)
{
    return pictureKind(faultKind(kind).warningPicture);
}

StatusDisplay::Detail StatusDisplay::errorDetail(int kind)
{
    return faultKind(kind).errorDetail;
}

StatusDisplay::Detail StatusDisplay::warningDetail(int kind)
{
    return faultKind(kind).warningDetail;
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

StatusDisplay::View StatusDisplay::bootloaderView()
{
    View view;
    view.motorStatus = MotorStatus::Bootloader;
    view.direction = Direction::None;
    view.faultInfo = QString();
    view.faultCode = QString();
    // An empty path clears the picture: a device standing by is what it would claim.
    view.picture = QString();
    return view;
}

StatusDisplay::View StatusDisplay::faultView(const Input &input)
{
    if (input.platformBootloader)
        return bootloaderView();
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
    if (input.platformBootloader)
        return bootloaderView();
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
