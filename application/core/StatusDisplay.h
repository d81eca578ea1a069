#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace Application::K27 {

// What the device window's status display shows for the device's faults and operating mode:
// the status text, the fault text and code, the device picture and the direction picture.
// Plain logic, so it can be checked without a window; the window translates the status and
// fault texts and applies the result.
class StatusDisplay
{
public:
    // Bootloader: the platform runs its bootloader (an update did not finish) and no model.
    enum class MotorStatus { Idle, Forward, Backward, Warning, Error, Bootloader };
    enum class Direction { None, Forward, Backward };
    // What a fault text adds after the fault's own text.
    enum class Detail { None, Phase, Capacity };

    // The device's state as the model holds it, with the display texts already looked up.
    struct Input
    {
        int error = 0;
        int warning = 0;
        int operatingMode = 0;
        quint32 articleNumber = 0;
        QString errorText;
        QString warningText;
        QString phaseText;
        QString capacityText;
        // The platform answered "GetName" with "Bootloader": the model's contents are not the
        // device's, and no picture of a working device is shown.
        bool platformBootloader = false;
    };

    // A field without a value leaves its widget as it is.
    struct View
    {
        std::optional<MotorStatus> motorStatus;
        std::optional<Direction> direction;
        std::optional<QString> faultInfo;
        std::optional<QString> faultCode;
        // A resource path such as ":/images/torvex_k27_serra_standby.png".
        std::optional<QString> picture;
    };

    // The product name of an article number; " " for an unknown one.
    static QString productName(quint32 articleNumber);
    // The picture family of an article number; empty for an unknown one.
    static QString pictureFamily(quint32 articleNumber);
    // ":/images/" + family + "_" + kind + ".png"; empty without a family or kind.
    static QString picturePath(const QString &family, const QString &kind);

    // A fault's plain text in the user's language: the model's text of a "Warning" or "Error"
    // content ("Overload") translated. The status display and the service report both show it.
    static QString faultName(const QByteArray &modelText);
    // "E 1410" … for error kinds 1 to 14, " " for every other kind.
    static QString errorCode(int kind);
    // "W 1410" … for warning kinds 1 to 15, " " for every other kind.
    static QString warningCode(int kind);
    // The picture kind of a fault kind; empty where the picture stays as it is.
    static QString errorPictureKind(int kind);
    static QString warningPictureKind(int kind);
    static Detail errorDetail(int kind);
    static Detail warningDetail(int kind);

    // After a fault report: error first, then warning, else the operating mode.
    static View faultView(const Input &input);
    // After an operating-mode report.
    static View operatingModeView(const Input &input);
    // While the platform runs its bootloader: no fault, no direction, no picture.
    static View bootloaderView();

private:
    static QString faultInfo(const QString &text, Detail detail, const Input &input);
};

} // namespace Application::K27
