// Speed of the firmware image check on a 32 MiB image: SHA3-512 through OpenSSL
// against QCryptographicHash, the AES-128-CBC decryption alone, and the whole
// verification (decrypt, digest, cut) the update runs before sending anything.

#include "service/FirmwareImageCipher.h"
#include "utilities/QAESEncryption.h"
#include "utilities/Sha3Digest.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {
constexpr int imageLength = 32 * 1024 * 1024 - 5;

const QByteArray &plainImage()
{
    static const QByteArray image = [] {
        QByteArray bytes(imageLength, Qt::Uninitialized);
        QRandomGenerator generator(27);
        generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), imageLength / 4);
        return bytes;
    }();
    return image;
}

const QByteArray &encryptedImage()
{
    static const QByteArray image = Service::K27::FirmwareImageCipher().encryptImage(plainImage());
    return image;
}

void sha3OpenSsl(benchmark::State &state)
{
    const QByteArray &image = plainImage();
    for (auto _ : state)
        benchmark::DoNotOptimize(Utilities::Sha3Digest::sha3_512(image));
    state.SetBytesProcessed(state.iterations() * image.size());
}

void sha3QCryptographicHash(benchmark::State &state)
{
    const QByteArray &image = plainImage();
    for (auto _ : state)
        benchmark::DoNotOptimize(QCryptographicHash::hash(image, QCryptographicHash::Sha3_512));
    state.SetBytesProcessed(state.iterations() * image.size());
}

void aesCbcDecrypt(benchmark::State &state)
{
    const QByteArray &file = encryptedImage();
    const QByteArray ciphertext = file.mid(Service::K27::FirmwareImageCipher::headerLength);
    const QByteArray iv = file.mid(Service::K27::FirmwareImageCipher::ivOffset, 16);
    for (auto _ : state)
        benchmark::DoNotOptimize(QAESEncryption::decrypt(
            QAESEncryption::AES_128, QAESEncryption::CBC, ciphertext,
            Service::K27::FirmwareImageCipher::firmwareKey(), iv, QAESEncryption::ZERO));
    state.SetBytesProcessed(state.iterations() * ciphertext.size());
}

void verifyAndDecrypt(benchmark::State &state)
{
    const Service::K27::FirmwareImageCipher cipher;
    const QByteArray &image = encryptedImage();
    for (auto _ : state) {
        // Shares the encrypted bytes; the check replaces its own copy only.
        QByteArray file = image;
        if (cipher.verifyImage(file) != Service::K27::FirmwareImageCipher::Check::Ok) {
            state.SkipWithError("the image does not verify");
            break;
        }
        benchmark::DoNotOptimize(file.constData());
    }
    state.SetBytesProcessed(state.iterations() * image.size());
}
} // namespace

BENCHMARK(sha3OpenSsl)->Unit(benchmark::kMillisecond);
BENCHMARK(sha3QCryptographicHash)->Unit(benchmark::kMillisecond);
BENCHMARK(aesCbcDecrypt)->Unit(benchmark::kMillisecond);
BENCHMARK(verifyAndDecrypt)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
