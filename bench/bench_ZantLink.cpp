// Speed of the link's hot paths: CRC-32, encoding and cutting a received byte stream.

#include "component/AbstractZantLinkTerminal.h"
#include "component/Crc32.h"
#include "component/ZantLinkPacket.h"

#include <QByteArray>
#include <array>
#include <benchmark/benchmark.h>
#include <random>

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

// Model value answers as the device streams them, in pieces of 64 bytes, with a few bytes of
// noise between packets.
void receiveStream(benchmark::State &state)
{
    QByteArray stream;
    const uint8_t id[2] = {35, 0};
    const uint8_t value[4] = {0, 0, 0x20, 0x41};
    const ZantLinkPacket::Argument arguments[] = {{id, 2}, {value, 4}};
    const QByteArray answer = ZantLinkPacket::encode(6, 0, 2, arguments, 2);
    for (int i = 0; i < 1000; ++i) {
        stream += answer + randomBytes(int(state.range(0)), unsigned(i));
    }
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
