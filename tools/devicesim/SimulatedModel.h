#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QtGlobal>

namespace DeviceSim {

// The data model as the Platform controller holds it: one content per identifier, kept in
// the value's link width. Contents are held as double, which carries every 32-bit integer
// and every single-precision float exactly.
class SimulatedModel
{
public:
    enum class Kind { Integer, Float };

    struct Entry
    {
        quint16 id = 0;
        Kind kind = Kind::Integer;
        int width = 1; // bytes on the link: 1, 2 or 4
        double defaultValue = 0;
        double minimum = 0;
        double maximum = 0;
        // The PC may change it with "SetModelValue"; identity, limits, state and measured
        // values belong to the device and are only reported.
        bool hostWritable = true;
        bool setting = false; // restored and reported by "FactoryReset"
        double value = 0;
    };

    enum class Outcome { Stored, Clamped, ReadOnly, Invalid };

    SimulatedModel();

    bool contains(quint16 id) const { return m_entries.contains(id); }
    const Entry *entry(quint16 id) const;
    double value(quint16 id) const;

    // The content in its link width, little-endian; floats as IEEE 754 single precision.
    QByteArray encode(quint16 id) const;

    // Contents the device itself produces (measurements, faults, versions): stored as given,
    // narrowed to the link width.
    void setValue(quint16 id, double value);
    // A start-up override: becomes the content and the factory default.
    void setDefault(quint16 id, double value);

    // A content the PC sent: decoded like the PC encodes it, stored if it lies within the
    // value's range, clamped into it otherwise; "NominalCurrentMax" and "TripClassMax"
    // bound "NominalCurrent" and "TripClass".
    Outcome setFromHost(quint16 id, const QByteArray &content);

    // Restores every setting to its factory default; returns the identifiers in the order
    // the device reports them.
    QList<quint16> factoryReset();
    // Every identifier the model holds, in ascending order.
    QList<quint16> identifiers() const { return m_entries.keys(); }

    // The settings in the order the device reports them after a factory reset.
    static const QList<quint16> &settingOrder();

private:
    double narrowed(const Entry &entry, double value) const;
    double upperBound(const Entry &entry) const;

    QMap<quint16, Entry> m_entries;
};

} // namespace DeviceSim
