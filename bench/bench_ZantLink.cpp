// Speed of the link's hot paths: CRC-32, encoding and cutting a received byte stream, the last
// against a minimal framer measured in the same run (ratio = receiveStream / receiveStreamFloor).

#include "component/AbstractZantLinkTerminal.h"
#include "component/Crc32.h"
#include "component/ZantLinkPacket.h"

#include <QByteArray>
#include <array>
#include <benchmark/benchmark.h>
#include <cstring>
#include <random>
#include <zlib.h>

using Component::Interfaces::AbstractZantLinkTerminal;
using Component::Interfaces::ZantLinkPacket;

namespace {

QByteArray randomBytes(int count, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(count, Qt::Uninitialized);
    for (char &byte : bytes) {
        byte = char(random() & 0xff);
    }
    return bytes;
}

// The byte-wise table routine, for comparison with the zlib one the link uses.
uint32_t tableCrc(const uint8_t *data, std::size_t count)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> entries {};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t value = i;
            for (int bit = 0; bit < 8; ++bit) {
                value = (value & 1) != 0 ? 0xEDB88320u ^ (value >> 1) : value >> 1;
            }
            entries[i] = value;
        }
        return entries;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < count; ++i) {
        crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    }
    return ~crc;
}

void crc32Zlib(benchmark::State &state)
{
    const QByteArray data = randomBytes(int(state.range(0)), 1);
    const Crc32 crc;
    for (auto _ : state) {
        benchmark::DoNotOptimize(crc.calculate(data.constData(), std::size_t(data.size())));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * data.size());
}
BENCHMARK(crc32Zlib)->Arg(15)->Arg(529)->Arg(64 * 1024);

void crc32Table(benchmark::State &state)
{
    const QByteArray data = randomBytes(int(state.range(0)), 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tableCrc(reinterpret_cast<const uint8_t *>(data.constData()),
                                          std::size_t(data.size())));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * data.size());
}
BENCHMARK(crc32Table)->Arg(15)->Arg(529)->Arg(64 * 1024);

void encodeMemblock(benchmark::State &state)
{
    const QByteArray block = randomBytes(512, 2);
    const uint8_t number[2] = {1, 0};
    const uint8_t crc[4] = {};
    const ZantLinkPacket::Argument arguments[] = {{number, 2}, {block.constData(), 512}, {crc, 4}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(ZantLinkPacket::encode(11, 2, 0, arguments, 3));
    }
}
BENCHMARK(encodeMemblock);

class CountingTerminal : public AbstractZantLinkTerminal
{
public:
    CountingTerminal()
        : AbstractZantLinkTerminal(0, ZantLinkPacket::Host)
    {
    }
    void onPacketReceived(const ZantLinkPacket &) override { ++packets; }
    int packets = 0;
};

// The floor for cutting a stream: the least a framer does with the same bytes. It appends each
// piece to a flat buffer, finds the start word with memchr, reads the length, waits for the
// whole packet, checks its CRC-32 with zlib and hands on a copy of the packet's bytes.
class MinimalFramer
{
public:
    void feed(const char *data, int count)
    {
        m_buffer.append(data, count);
        int offset = 0;
        while (true) {
            const char *begin = m_buffer.constData() + offset;
            const int left = m_buffer.size() - offset;
            const auto *found = static_cast<const char *>(std::memchr(begin, '7', size_t(left)));
            if (found == nullptr) {
                offset = m_buffer.size();
                break;
            }
            offset += int(found - begin);
            if (m_buffer.size() - offset < ZantLinkPacket::HeaderSize) {
                break;
            }
            const auto *bytes = reinterpret_cast<const uint8_t *>(m_buffer.constData() + offset);
            if (std::memcmp(bytes, "702#", 4) != 0) {
                ++offset;
                continue;
            }
            const int length = bytes[4] | (bytes[5] << 8);
            if (length < ZantLinkPacket::MinimumLength || length > ZantLinkPacket::MaximumLength) {
                ++offset;
                continue;
            }
            if (m_buffer.size() - offset < length) {
                break;
            }
            const uint32_t expected = uint32_t(bytes[length - 4]) | uint32_t(bytes[length - 3]) << 8
                | uint32_t(bytes[length - 2]) << 16 | uint32_t(bytes[length - 1]) << 24;
            if (crc32_z(0, bytes, size_t(length - 4)) != expected) {
                ++offset;
                continue;
            }
            const QByteArray packet(reinterpret_cast<const char *>(bytes), length);
            benchmark::DoNotOptimize(packet.constData());
            ++packets;
            offset += length;
        }
        m_buffer.remove(0, offset);
    }

    int packets = 0;

private:
    QByteArray m_buffer;
};

// Model value answers as the device streams them, with a few bytes of noise between packets.
QByteArray answerStream(int noise)
{
    QByteArray stream;
    const uint8_t id[2] = {35, 0};
    const uint8_t value[4] = {0, 0, 0x20, 0x41};
    const ZantLinkPacket::Argument arguments[] = {{id, 2}, {value, 4}};
    const QByteArray answer = ZantLinkPacket::encode(6, 0, 2, arguments, 2);
    for (int i = 0; i < 1000; ++i) {
        stream += answer + randomBytes(noise, unsigned(i));
    }
    return stream;
}

// The floor: the same stream in pieces of 64 bytes through the minimal framer.
void receiveStreamFloor(benchmark::State &state)
{
    const QByteArray stream = answerStream(int(state.range(0)));
    for (auto _ : state) {
        MinimalFramer framer;
        for (int offset = 0; offset < stream.size(); offset += 64) {
            framer.feed(stream.constData() + offset, std::min(64, stream.size() - offset));
        }
        benchmark::DoNotOptimize(framer.packets);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
}
BENCHMARK(receiveStreamFloor)->Arg(0)->Arg(8);

// The link's receiver cutting the stream, in pieces of 64 bytes as the serial port hands them on.
void receiveStream(benchmark::State &state)
{
    const QByteArray stream = answerStream(int(state.range(0)));
    for (auto _ : state) {
        CountingTerminal terminal;
        terminal.startReceiver();
        for (int offset = 0; offset < stream.size(); offset += 64) {
            terminal.writeBytes(stream.constData() + offset, std::min(64, stream.size() - offset));
            while (terminal.receiveStep()) { }
        }
        benchmark::DoNotOptimize(terminal.packets);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
}
BENCHMARK(receiveStream)->Arg(0)->Arg(8);

} // namespace

BENCHMARK_MAIN();
