#pragma once

#include "model/interfaces/ModelTypes.h"
#include "utilities/LittleEndian.h"

#include <QtGlobal>
#include <cstddef>
#include <cstring>
#include <type_traits>

// How model contents travel on the link: integers, bools, characters and enumerations as
// little-endian numbers of their link width, floats as IEEE 754 single precision.
namespace Model::Interfaces::Codec {

// The twenty content types the model values are made of.
template<typename T>
constexpr bool isModelType
    = std::
          is_same_v<T,
                    bool> || std::is_same_v<T, char> || std::is_same_v<T, quint8> || std::is_same_v<T, quint16> || std::is_same_v<T, quint32> || std::is_same_v<T, float> || std::is_same_v<T, ModelTypes::Measurement::Phase> || std::is_same_v<T, ModelTypes::HousingLighting::Edge> || std::is_same_v<T, ModelTypes::HousingLighting::Type> || std::is_same_v<T, ModelTypes::GFX::Setting> || std::is_same_v<T, ModelTypes::GFX::AboutSubSetting> || std::is_same_v<T, ModelTypes::GFX::LimitSubSetting> || std::is_same_v<T, ModelTypes::GFX::SoftstartSubSetting> || std::is_same_v<T, ModelTypes::Fault::Type> || std::is_same_v<T, ModelTypes::Fault::Phase> || std::is_same_v<T, ModelTypes::Bootup::PlatformState> || std::is_same_v<T, ModelTypes::Settings::FaultType> || std::is_same_v<T, ModelTypes::Settings::TripClass> || std::is_same_v<T, ModelTypes::Operation::Mode> || std::is_same_v<T, ModelTypes::Information::DeviceType>;

// Bytes a content of type T occupies on the link.
template<typename T> constexpr int linkWidth() noexcept
{
    static_assert(isModelType<T>, "not a model content type");
    if constexpr (std::is_enum_v<T>)
        return static_cast<int>(sizeof(std::underlying_type_t<T>));
    else if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, char>)
        return 1;
    else
        return static_cast<int>(sizeof(T));
}

// The number an integer-like content travels as: bool 0 or 1, char its 8-bit code,
// enumerations their number.
template<typename T> constexpr quint32 toNumber(const T &content) noexcept
{
    static_assert(isModelType<T> && !std::is_same_v<T, float>, "floats travel as IEEE 754");
    if constexpr (std::is_same_v<T, bool>)
        return content ? 1u : 0u;
    else if constexpr (std::is_same_v<T, char>)
        return static_cast<unsigned char>(content);
    else if constexpr (std::is_enum_v<T>)
        return static_cast<quint32>(static_cast<std::underlying_type_t<T>>(content));
    else
        return static_cast<quint32>(content);
}

// The content an integer-like number stands for, the reverse of toNumber: a bool is true when
// the whole number is non-zero, other types keep the number's low-order bits.
template<typename T> constexpr T fromNumber(quint32 number) noexcept
{
    static_assert(isModelType<T> && !std::is_same_v<T, float>, "floats travel as IEEE 754");
    if constexpr (std::is_same_v<T, bool>)
        return number != 0;
    else if constexpr (std::is_same_v<T, char>)
        return static_cast<char>(static_cast<unsigned char>(number));
    else if constexpr (std::is_enum_v<T>)
        return static_cast<T>(static_cast<std::underlying_type_t<T>>(number));
    else
        return static_cast<T>(number);
}

// A link number by argument length: 1, 2 or 4 bytes little-endian, anything else 0.
inline quint32 decodeNumber(const unsigned char *data, std::size_t count) noexcept
{
    if (data == nullptr)
        return 0;
    switch (count) {
    case 1:
        return data[0];
    case 2:
        return Utilities::LittleEndian::read<quint16>(data);
    case 4:
        return Utilities::LittleEndian::read<quint32>(data);
    default:
        return 0;
    }
}

// Whether an argument of count bytes is a content of type T: a float is exactly its four
// bytes of IEEE 754; an integer-like content is a little-endian number of 1, 2 or 4 bytes (a
// device may send a narrow value wider, its low-order bits count). Anything else (nothing,
// one byte of a float, three bytes, a fifth byte) is no content at all, never a 0.
template<typename T> constexpr bool fitsWidth(std::size_t count) noexcept
{
    static_assert(isModelType<T>, "not a model content type");
    if constexpr (std::is_same_v<T, float>)
        return count == 4;
    else
        return count == 1 || count == 2 || count == 4;
}

// A content from its argument bytes. Integer-like types keep the low-order bits of the
// number (a bool is true when the whole number is non-zero); a float takes the first four
// bytes, and an argument shorter than four bytes gives 0.0 rather than a read past its end.
template<typename T> T decode(const unsigned char *data, std::size_t count) noexcept
{
    static_assert(isModelType<T>, "not a model content type");
    if constexpr (std::is_same_v<T, float>) {
        if (data == nullptr || count < 4)
            return 0.0f;
        const quint32 bits = decodeNumber(data, 4);
        float content;
        std::memcpy(&content, &bits, sizeof content);
        return content;
    } else {
        return fromNumber<T>(decodeNumber(data, count));
    }
}

} // namespace Model::Interfaces::Codec
