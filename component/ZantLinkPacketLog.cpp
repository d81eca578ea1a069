#include "component/ZantLinkPacketLog.h"

#include "component/ZantLinkCommandCode.h"
#include "utilities/LittleEndian.h"
#include "utilities/VersionText.h"

#include <charconv>
#include <cstring>

namespace Component::K27 {

using Component::Interfaces::ZantLinkPacket;

namespace {

// Reads the arguments of an answer, each only when the packet recorded it with at least the
// bytes asked for.
class Reader
{
public:
    explicit Reader(const ZantLinkPacket &packet)
        : m_packet(packet)
    {
    }

    bool u8(int index, uint8_t &value) const
    {
        const ZantLinkPacket::Argument *argument = m_packet.argumentWith(index, 1);
        if (argument == nullptr) {
            return false;
        }
        value = argument->data[0];
        return true;
    }

    bool u32(int index, uint32_t &value) const
    {
        const ZantLinkPacket::Argument *argument = m_packet.argumentWith(index, 4);
        if (argument == nullptr) {
            return false;
        }
        value = Utilities::LittleEndian::read<uint32_t>(argument->data);
        return true;
    }

    bool f32(int index, float &value) const
    {
        uint32_t bits = 0;
        if (!u32(index, bits)) {
            return false;
        }
        static_assert(sizeof bits == sizeof value, "floats travel as IEEE 754 single precision");
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }

    bool text(int index, QByteArray &value) const
    {
        const ZantLinkPacket::Argument *argument = m_packet.argumentWith(index, 0);
        if (argument == nullptr) {
            return false;
        }
        value = argument->toByteArray();
        return true;
    }

private:
    const ZantLinkPacket &m_packet;
};

// Appends "0x" and the value in lower-case hexadecimal without leading zeros ("0x4837cb5d").
void appendHex(QByteArray &text, uint32_t value)
{
    char digits[2 + 8];
    digits[0] = '0';
    digits[1] = 'x';
    const std::to_chars_result result
        = std::to_chars(digits + 2, digits + sizeof digits, value, 16);
    text.append(digits, static_cast<int>(result.ptr - digits));
}

// Appends every byte as "0x5 " or "0xff ", written straight into the text's storage: a
// 512-byte firmware block is logged with every packet that carries one.
void appendHexBytes(QByteArray &text, const uint8_t *bytes, int count)
{
    static constexpr char digits[] = "0123456789abcdef";
    const int start = text.size();
    text.resize(start + 5 * count);
    char *out = text.data() + start;
    for (int i = 0; i < count; ++i) {
        const uint8_t byte = bytes[i];
        *out++ = '0';
        *out++ = 'x';
        if (byte >= 16)
            *out++ = digits[byte >> 4];
        *out++ = digits[byte & 15];
        *out++ = ' ';
    }
    text.resize(static_cast<int>(out - text.constData()));
}

void appendNumber(QByteArray &text, uint32_t value)
{
    char digits[10];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, static_cast<int>(result.ptr - digits));
}

QByteArray flag(uint8_t state)
{
    return state != 0 ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
}

} // namespace

QByteArray ZantLinkPacketLog::line(const ZantLinkPacket &packet)
{
    // At most five characters per argument byte ("0xff "), and room for the fixed parts.
    int argumentBytes = 0;
    for (int i = 0; i < packet.argumentCount(); ++i)
        argumentBytes += packet.argument(i).count;
    QByteArray text;
    text.reserve(160 + 5 * argumentBytes + 5 * packet.argumentCount());
    text += ZantLinkCommandCode::name(packet.getCommand());
    text += ": ";
    text += ZantLinkPacket::nodeName(packet.getSource());
    text += " -> ";
    text += ZantLinkPacket::nodeName(packet.getDestination());
    text += ", Coding: ";
    appendHex(text, packet.getCoding());
    text += ", Length: ";
    appendNumber(text, packet.getLength());
    text += "bytes, ArgCount: ";
    appendNumber(text, packet.getArgCount());
    for (int i = 0; i < packet.argumentCount(); ++i) {
        const ZantLinkPacket::Argument &argument = packet.argument(i);
        text += " { ";
        appendHexBytes(text, argument.data, argument.count);
        text += "} ";
    }
    text += ", Checksum: ";
    appendHex(text, packet.getChecksum());
    return text;
}

bool ZantLinkPacketLog::answerText(const ZantLinkPacket &packet, QByteArray &text)
{
    text.clear();
    const Reader read(packet);
    uint8_t first = 0;
    uint8_t second = 0;
    uint32_t whole = 0;
    float value = 0.0f;
    QByteArray result;

    switch (packet.getCommand()) {
    case ZantLinkCommandCode::GetSWVersion:
    case ZantLinkCommandCode::GetHALVersion:
        if (!read.u32(0, whole)) {
            return false;
        }
        result = Utilities::versionText(whole);
        break;
    case ZantLinkCommandCode::GetName:
    case ZantLinkCommandCode::ExternalFlashGetDeviceID:
        if (!read.text(0, result)) {
            return false;
        }
        break;
    case ZantLinkCommandCode::PhaseCtrlGetFailureStatus:
    case ZantLinkCommandCode::PhaseCtrlGetReadyStatus:
        if (!read.u8(0, first) || !read.u8(1, second)) {
            return false;
        }
        result = QByteArray("Index: ") + phaseName(first)
            + (packet.getCommand() == ZantLinkCommandCode::PhaseCtrlGetFailureStatus
                   ? ", Failure status: "
                   : ", Ready status: ")
            + (second != 0 ? "true" : "false");
        break;
    case ZantLinkCommandCode::MeasurementGetWaveform:
        if (!read.u8(0, first) || !read.f32(1, value)) {
            return false;
        }
        result = "Index: " + QByteArray::number(first) + ", Data: " + number(value);
        break;
    case ZantLinkCommandCode::StateMachineGetState:
        if (!read.u8(0, first)) {
            return false;
        }
        result = "State: " + QByteArray::number(first);
        break;
    case ZantLinkCommandCode::GetTemperature:
        if (!read.u8(0, first) || !read.f32(1, value)) {
            return false;
        }
        result = "Temperature ID: " + QByteArray::number(first) + ", Value: " + number(value)
            + "\xc2\xb0"
              "C";
        break;
    case ZantLinkCommandCode::GetAuxVoltage:
    case ZantLinkCommandCode::GetSupplyVoltage:
        if (!read.f32(0, value)) {
            return false;
        }
        result = (packet.getCommand() == ZantLinkCommandCode::GetAuxVoltage ? "Aux voltage: "
                                                                            : "Supply voltage: ")
            + number(value) + 'V';
        break;
    case ZantLinkCommandCode::GetSupplyState:
        if (!read.u8(0, first)) {
            return false;
        }
        result = "Supply state: " + QByteArray::number(first);
        break;
    case ZantLinkCommandCode::SetThermalCapacity:
        if (!read.f32(0, value)) {
            return false;
        }
        result = "Thermal capacity: " + number(value * 100.0f) + '%';
        break;
    case ZantLinkCommandCode::MeasurementGetRMSValue:
    case ZantLinkCommandCode::MeasurementGetStaticOffset:
    case ZantLinkCommandCode::MeasurementGetGainOffset:
    case ZantLinkCommandCode::MeasurementGetMovingAverageValue: {
        if (!read.u8(0, first) || !read.u8(1, second) || !read.f32(2, value)) {
            return false;
        }
        const bool current = second == 1;
        result = QByteArray("Index: ") + phaseName(first)
            + ", Unit: " + (current ? "Current" : "Voltage") + ", Value: " + number(value)
            + (current ? 'A' : 'V');
        break;
    }
    case ZantLinkCommandCode::AnalogSignalsGetInputStatus:
        if (!read.u8(0, first) || !read.u8(1, second)) {
            return false;
        }
        result = "Index: " + QByteArray::number(first) + ", Status: " + flag(second);
        break;
    case ZantLinkCommandCode::GetButtonStatus: {
        if (!read.u8(0, first) || !read.u8(1, second)) {
            return false;
        }
        static const char *const buttons[] = {"MainButton: ", "ButtonUp: ", "ButtonDown: "};
        if (first < 3) {
            result = buttons[first] + flag(second);
        }
        break;
    }
    case ZantLinkCommandCode::MosfetMonitorGetState:
        if (!read.u8(0, first)) {
            return false;
        }
        result = "Mosfet Monitor Status: " + flag(first);
        break;
    case ZantLinkCommandCode::DeviceProtectionGetDCProtection:
        if (!read.u8(0, first)) {
            return false;
        }
        result = "DC Protection Status: " + flag(first);
        break;
    default:
        return false;
    }
    text = result;
    return true;
}

const char *ZantLinkPacketLog::phaseName(uint8_t phase)
{
    switch (phase) {
    case 1:
        return "L2";
    case 2:
        return "L3";
    default:
        return "L1";
    }
}

QByteArray ZantLinkPacketLog::number(float value)
{
    // The C library's general form: a value exactly halfway between two six-digit texts
    // rounds to the even digit, and a negative zero keeps its sign. Qt's own number formatting
    // rounds such halves away from zero, and the C library's printf would follow the
    // program's locale (a decimal comma); to_chars does neither.
    char text[32];
    const std::to_chars_result result = std::to_chars(
        text, text + sizeof text, static_cast<double>(value), std::chars_format::general, 6);
    return QByteArray(text, static_cast<int>(result.ptr - text));
}

} // namespace Component::K27
