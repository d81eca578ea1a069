#pragma once

#include "application/core/SettingsFunctions.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <array>
#include <map>

namespace Application::K27 {

// The settings file: a device's main protection settings (trip class, nominal current,
// automatic reset after overload, and undercurrent, undervoltage and overvoltage with enable,
// threshold and fault type) as one JSON object, written indented with the keys in ascending
// order. It carries neither the load asymmetry nor the softstart settings nor any identity of
// the device.
//
// A file is taken whole or not at all: one that cannot be read, is not a JSON object, has a
// key of the wrong JSON type, a fraction where a whole number belongs, or (checkRanges) a value
// outside what the device accepts, is refused with a text that names the key, and the object
// keeps what it held. A missing key is not an error: fields() tells which settings the last
// file carried, and only those are written to a device. Unknown keys are ignored.
class Settings
{
    Q_DECLARE_TR_FUNCTIONS(Settings)

public:
    // The twelve settings, as bits of fields(); fieldOrder() is the order an import writes them.
    enum Field : quint16 {
        TripClass = 0x001,
        NominalCurrent = 0x002,
        OverloadReset = 0x004,
        UndercurrentEnable = 0x008,
        UndercurrentThreshold = 0x010,
        UndercurrentFaultType = 0x020,
        UndervoltageEnable = 0x040,
        UndervoltageThreshold = 0x080,
        UndervoltageFaultType = 0x100,
        OvervoltageEnable = 0x200,
        OvervoltageThreshold = 0x400,
        OvervoltageFaultType = 0x800,
    };
    static constexpr quint16 AllFields = 0xFFF;
    static const std::array<Field, 12> &fieldOrder();
    // The key of a field as the file spells it; a key inside a function's object is given
    // with the function's key in front ("Undercurrent.Threshold").
    static QString keyName(Field field);

    // What a numeric field may hold, both ends included.
    struct Range
    {
        double minimum = 0.0;
        double maximum = 0.0;
    };
    using Limits = std::map<Field, Range>;

    // Settings files are a few hundred bytes; larger ones are refused unread.
    static constexpr qint64 maximumFileSize = 64 * 1024;

    Settings() = default;
    virtual ~Settings() = default;

    quint8 tripClass() const { return m_tripClass; }
    void setTripClass(quint8 tripClass) { m_tripClass = tripClass; }
    float nominalCurrent() const { return m_nominalCurrent; }
    void setNominalCurrent(float nominalCurrent) { m_nominalCurrent = nominalCurrent; }
    bool overloadReset() const { return m_overloadReset; }
    void setOverloadReset(bool overloadReset) { m_overloadReset = overloadReset; }
    UndercurrentSettings &undercurrent() { return m_undercurrent; }
    const UndercurrentSettings &undercurrent() const { return m_undercurrent; }
    UndervoltageSettings &undervoltage() { return m_undervoltage; }
    const UndervoltageSettings &undervoltage() const { return m_undervoltage; }
    OvervoltageSettings &overvoltage() { return m_overvoltage; }
    const OvervoltageSettings &overvoltage() const { return m_overvoltage; }

    // The settings the content stands for: all after filling from a device, those the file
    // carried after a read or load.
    quint16 fields() const { return m_fields; }
    void setFields(quint16 fields) { m_fields = fields & AllFields; }
    bool has(Field field) const { return (m_fields & field) != 0; }
    // A field's value as a number: switches as 1 or 0, fault types by their number.
    double number(Field field) const;

    // Takes the object whole or not at all (see the class); false with errorString().
    bool read(const QJsonObject &object);
    // Sets all six keys.
    void write(QJsonObject &object) const;
    // Reads the file and takes its object; false with errorString(), nothing changed. Also
    // refused: a file holding a key twice in one object, and one without any known key.
    bool load(const QString &path);
    // Writes the file atomically: a failed write keeps the file that was there. False with
    // errorString(); also when a value is no finite number, which JSON cannot hold.
    bool save(const QString &path);
    // Whether every numeric field the content carries lies within its range; false with
    // errorString() naming the first that does not. Fields without a range pass.
    bool checkRanges(const Limits &limits);

    // Why the last read, load, save or range check failed, one sentence fragment naming the
    // key, ready to follow "…: ".
    QString errorString() const { return m_errorString; }

    // A value as the file keeps it: its shortest decimal form, cut (not rounded) after two
    // decimals, so 2.1 stays 2.1, 0.53 stays 0.53 and 229.999 is kept as 229.99. A value that
    // is no finite number is returned as it is.
    static double cutToTwoDecimals(float value);

private:
    quint8 m_tripClass = 0;
    float m_nominalCurrent = 0.0F;
    UndercurrentSettings m_undercurrent;
    UndervoltageSettings m_undervoltage;
    OvervoltageSettings m_overvoltage;
    bool m_overloadReset = false;
    quint16 m_fields = 0;
    QString m_errorString;
};

} // namespace Application::K27
