#include "support/ExternalTool.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "utilities/Tarball.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

using Utilities::Tarball;

namespace {
// A heap copy of exactly the archive's bytes, with nothing after the last one,
// so that AddressSanitizer reports any read past the end.
class ExactBuffer
{
public:
    explicit ExactBuffer(const QByteArray &bytes)
        : m_size(bytes.size())
        , m_data(new char[static_cast<size_t>(qMax(m_size, 1))])
    {
        std::memcpy(m_data.get(), bytes.constData(), static_cast<size_t>(m_size));
    }
    const char *data() const { return m_data.get(); }
    quint32 size() const { return static_cast<quint32>(m_size); }

private:
    int m_size;
    std::unique_ptr<char[]> m_data;
};

QList<QByteArray> names(const Tarball &tarball)
{
    QList<QByteArray> result;
    for (const Tarball::Entry &entry : tarball.entries())
        result << entry.name;
    return result;
}

// One raw 512-byte header: name and size fields exactly as given (so that
// malformed fields can be written), the ustar magic only when asked for.
QByteArray rawHeader(const QByteArray &name, const QByteArray &sizeField, bool magic = true)
{
    QByteArray header(512, '\0');
    header.replace(0, qMin(name.size(), 100), name.left(100));
    header.replace(100, 8, QByteArray("0000644\0", 8));
    header.replace(124, qMin(sizeField.size(), 12), sizeField.left(12));
    // Octal digits in the field after the size, to show a reader that runs on.
    header.replace(136, 12, QByteArray("77777777777\0", 12));
    header[156] = '0';
    if (magic)
        header.replace(257, 8,
                       QByteArray("ustar\0"
                                  "00",
                                  8));
    return header;
}

QByteArray octalSize(int size)
{
    return QByteArray::number(size, 8).rightJustified(11, '0') + '\0';
}

QByteArray rawFile(const QByteArray &name, const QByteArray &contents, bool magic = true)
{
    QByteArray file = rawHeader(name, octalSize(contents.size()), magic) + contents;
    file.append(QByteArray((512 - contents.size() % 512) % 512, '\0'));
    return file;
}

QByteArray pattern(int size, char seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 7);
    return bytes;
}
} // namespace

class TestTarball : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    void writeFile(const QString &name, const QByteArray &contents)
    {
        QFile file(m_dir.filePath(name));
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
        QCOMPARE(file.write(contents), qint64(contents.size()));
    }
    QByteArray readArchive(const QString &name)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll();
    }
    // Builds an archive with GNU tar or Python's tarfile from files in the folder.
    void produce(const QString &producer, const QString &archive, const QStringList &members)
    {
        TestSupport::ToolRun run;
        if (producer.startsWith(QLatin1String("python"))) {
            const QString format = producer == QLatin1String("python-pax")
                ? QStringLiteral("PAX_FORMAT")
                : QStringLiteral("USTAR_FORMAT");
            const QString script
                = QStringLiteral(
                      "import sys, tarfile\n"
                      "with tarfile.open(sys.argv[1], 'w', format=tarfile.%1) as archive:\n"
                      "    for name in sys.argv[2:]:\n"
                      "        archive.add(name, recursive=False)\n")
                      .arg(format);
            run = TestSupport::runTool(
                QStringLiteral("python3"),
                QStringList {QStringLiteral("-c"), script, archive} + members, m_dir.path());
        } else {
            run = TestSupport::runTool(QStringLiteral("tar"),
                                       QStringList {QStringLiteral("--format=") + producer,
                                                    QStringLiteral("-cf"), archive,
                                                    QStringLiteral("--no-recursion")}
                                           + members,
                                       m_dir.path());
        }
        QVERIFY2(run.started, qPrintable(producer + QLatin1String(" is not installed")));
        QVERIFY2(run.exitCode == 0, run.standardError.constData());
    }

    void setUpTestCase() override
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("dir")));
        writeFile(QStringLiteral("block.bin"), pattern(512, 'b'));
        writeFile(QStringLiteral("one.bin"), QByteArray("1"));
        writeFile(QStringLiteral("a.bin"), pattern(700, 'a'));
        for (int i = 1; i <= 6; ++i)
            writeFile(QStringLiteral("f%1.txt").arg(i), pattern(10 * i, char('0' + i)));
    }

private slots:
    // Archives of a directory, a 512-byte file, a 1-byte file and a 700-byte file.
    // Extended headers of the pax format have contents of their own but describe
    // the file after them: they take no place in the five-entry table.
    void independentProducers_data()
    {
        QTest::addColumn<QString>("producer");
        QTest::addColumn<QList<QByteArray>>("expected");
        const QList<QByteArray> plain {"block.bin", "one.bin", "a.bin"};
        QTest::newRow("GNU tar ustar") << QStringLiteral("ustar") << plain;
        QTest::newRow("GNU tar gnu") << QStringLiteral("gnu") << plain;
        QTest::newRow("Python tarfile ustar") << QStringLiteral("python-ustar") << plain;
        QTest::newRow("GNU tar pax") << QStringLiteral("pax") << plain;
        QTest::newRow("Python tarfile pax") << QStringLiteral("python-pax") << plain;
    }
    void independentProducers()
    {
        QFETCH(QString, producer);
        QFETCH(QList<QByteArray>, expected);
        const QString archive = producer + QLatin1String(".tar");
        produce(producer, archive,
                {QStringLiteral("dir"), QStringLiteral("block.bin"), QStringLiteral("one.bin"),
                 QStringLiteral("a.bin")});
        const QByteArray bytes = readArchive(archive);
        const ExactBuffer buffer(bytes);
        const Tarball tarball(buffer.data(), buffer.size());

        QCOMPARE(names(tarball), expected);
        QVERIFY(!tarball.isTruncated());
        QVERIFY(!tarball.contains("dir") && !tarball.contains("dir/"));
        for (const Tarball::Entry &entry : tarball.entries()) {
            QCOMPARE(entry.data, buffer.data() + entry.offset);
            QCOMPARE(entry.offset % 512, 0u);
            if (!entry.name.contains("PaxHeader")) {
                QFile file(m_dir.filePath(QString::fromUtf8(entry.name)));
                QVERIFY(file.open(QIODevice::ReadOnly));
                QCOMPARE(QByteArray(entry.data, entry.size), file.readAll());
            }
        }
        // Under pax every file has an extended header of two blocks before its own.
        const quint32 extended = producer.endsWith(QLatin1String("pax")) ? 1024 : 0;
        QCOMPARE(tarball.find("one.bin")->offset,
                 tarball.find("block.bin")->offset + 1024 + extended);
        QCOMPARE(tarball.find("a.bin")->offset, tarball.find("one.bin")->offset + 1024 + extended);
    }

    // Two files with names longer than the 100-byte name field come first, so each
    // gets an extended header (GNU 'L' long name, pax 'x' path record) before it;
    // the three short files after them still fit among the five. A long-named file
    // is listed under its own header's name field as the producer wrote it.
    void extendedHeadersTakeNoPlace_data()
    {
        QTest::addColumn<QString>("producer");
        QTest::newRow("GNU tar gnu") << QStringLiteral("gnu");
        QTest::newRow("GNU tar pax") << QStringLiteral("pax");
        QTest::newRow("Python tarfile pax") << QStringLiteral("python-pax");
    }
    void extendedHeadersTakeNoPlace()
    {
        QFETCH(QString, producer);
        const QString folder = QStringLiteral("a-folder-whose-name-is-long-enough/"
                                              "to-push-the-whole-path-past-the-name-field");
        QVERIFY(QDir(m_dir.path()).mkpath(folder));
        const QStringList longNames {folder + QStringLiteral("/first-release-notes.txt"),
                                     folder + QStringLiteral("/second-release-notes.txt")};
        for (const QString &name : longNames) {
            QVERIFY(name.size() > 100);
            writeFile(name, pattern(600, 'n'));
        }
        const QString archive = producer + QLatin1String("-long.tar");
        produce(producer, archive,
                longNames
                    + QStringList {QStringLiteral("block.bin"), QStringLiteral("one.bin"),
                                   QStringLiteral("a.bin")});
        const QByteArray bytes = readArchive(archive);
        const ExactBuffer buffer(bytes);
        const Tarball tarball(buffer.data(), buffer.size());

        const QList<QByteArray> listed = names(tarball);
        QCOMPARE(listed.size(), 5);
        QCOMPARE(listed.mid(2), (QList<QByteArray> {"block.bin", "one.bin", "a.bin"}));
        for (int i = 0; i < 2; ++i) {
            const Tarball::Entry &entry = *(tarball.entries().begin() + i);
            // The header's own name field, cut at 100 bytes or at its first NUL.
            const char *const header = buffer.data() + entry.offset - 512;
            QCOMPARE(entry.name, QByteArray(header, int(qstrnlen(header, 100))));
            QVERIFY(!entry.name.contains("PaxHeader") && !entry.name.contains("LongLink"));
            QCOMPARE(QByteArray(entry.data, entry.size), pattern(600, 'n'));
        }
        for (const char *name : {"block.bin", "one.bin", "a.bin"}) {
            const Tarball::Entry *entry = tarball.find(name);
            QVERIFY(entry);
            QCOMPARE(QByteArray(entry->data, entry->size), readArchive(QString::fromLatin1(name)));
        }
    }

    // Every kind of extended header, written by hand: five of them in a row before
    // five files, and all five files are listed.
    void everyExtendedHeaderTypeIsSkipped_data()
    {
        QTest::addColumn<char>("typeFlag");
        QTest::newRow("pax extended") << 'x';
        QTest::newRow("pax global") << 'g';
        QTest::newRow("GNU long name") << 'L';
        QTest::newRow("GNU long link") << 'K';
    }
    void everyExtendedHeaderTypeIsSkipped()
    {
        QFETCH(char, typeFlag);
        QByteArray archive;
        QList<QByteArray> expected;
        for (int i = 1; i <= 5; ++i) {
            QByteArray extended = rawFile("ext" + QByteArray::number(i), pattern(30 * i, 'r'));
            extended[156] = typeFlag;
            archive += extended;
            expected << "file" + QByteArray::number(i);
            archive += rawFile(expected.last(), pattern(10 * i, 'f'));
        }
        const ExactBuffer buffer(archive);
        const Tarball tarball(buffer.data(), buffer.size());
        QCOMPARE(names(tarball), expected);
        QCOMPARE(QByteArray(tarball.find("file5")->data, tarball.find("file5")->size),
                 pattern(50, 'f'));
    }

    void onlyFiveFilesAreListed()
    {
        QStringList members;
        for (int i = 1; i <= 6; ++i)
            members << QStringLiteral("f%1.txt").arg(i);
        produce(QStringLiteral("ustar"), QStringLiteral("six.tar"), members);
        const QByteArray bytes = readArchive(QStringLiteral("six.tar"));
        const Tarball tarball(bytes.constData(), static_cast<quint32>(bytes.size()));

        QCOMPARE(names(tarball),
                 (QList<QByteArray> {"f1.txt", "f2.txt", "f3.txt", "f4.txt", "f5.txt"}));
        QVERIFY(tarball.contains("f5.txt"));
        QVERIFY(!tarball.contains("f6.txt"));
        QCOMPARE(tarball.find("f6.txt"), nullptr);
        QCOMPARE(QByteArray(tarball.find("f5.txt")->data, tarball.find("f5.txt")->size),
                 pattern(50, '5'));
    }

    void oldStyleArchiveListsNothing()
    {
        produce(QStringLiteral("v7"), QStringLiteral("v7.tar"), {QStringLiteral("a.bin")});
        const QByteArray bytes = readArchive(QStringLiteral("v7.tar"));
        QVERIFY(bytes.size() >= 1024);
        const Tarball tarball(bytes.constData(), static_cast<quint32>(bytes.size()));
        QVERIFY(tarball.entries().isEmpty());
        QVERIFY(!tarball.contains("a.bin"));
    }

    // A real archive of a 700-byte and a 1000-byte file (headers at 0 and 1536)
    // cut at every kind of place: nothing is read past the cut, and a file whose
    // contents are cut off is not listed.
    void truncatedArchive_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::addColumn<bool>("truncated");
        QTest::newRow("empty") << 0 << QList<QByteArray>() << false;
        QTest::newRow("inside the magic") << 260 << QList<QByteArray>() << false;
        QTest::newRow("one byte short of a header") << 511 << QList<QByteArray>() << false;
        QTest::newRow("header only") << 512 << QList<QByteArray>() << true;
        QTest::newRow("contents one byte short") << 1211 << QList<QByteArray>() << true;
        QTest::newRow("contents without fill") << 1212 << QList<QByteArray> {"a.bin"} << false;
        QTest::newRow("second header cut") << 1536 + 511 << QList<QByteArray> {"a.bin"} << false;
        QTest::newRow("second contents cut")
            << 1536 + 512 + 999 << QList<QByteArray> {"a.bin"} << true;
        QTest::newRow("no end blocks")
            << 1536 + 512 + 1024 << QList<QByteArray> {"a.bin", "b.bin"} << false;
    }
    void truncatedArchive()
    {
        QFETCH(int, length);
        QFETCH(QList<QByteArray>, expected);
        QFETCH(bool, truncated);
        writeFile(QStringLiteral("b.bin"), pattern(1000, 'x'));
        produce(QStringLiteral("ustar"), QStringLiteral("cut.tar"),
                {QStringLiteral("a.bin"), QStringLiteral("b.bin")});
        const QByteArray whole = readArchive(QStringLiteral("cut.tar"));
        QVERIFY(whole.size() > length);
        const ExactBuffer buffer(whole.left(length));
        const Tarball tarball(buffer.data(), buffer.size());
        QCOMPARE(names(tarball), expected);
        QCOMPARE(tarball.isTruncated(), truncated);
    }

    void nullBufferListsNothing()
    {
        const Tarball tarball(nullptr, 0);
        QVERIFY(tarball.entries().isEmpty());
        QCOMPARE(tarball.find("a"), nullptr);
    }

    // The size field read like strtol() in base 8, but never past its 12 bytes. A
    // file whose size does not read as a positive number is not listed, and the
    // next header is looked for one block further on.
    void sizeField_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<int>("listedSize"); // 0: not listed
        QTest::addColumn<int>("dataBlocks"); // blocks between this header and the next
        QTest::newRow("octal with NUL") << QByteArray("00000001750\0", 12) << 1000 << 2;
        QTest::newRow("short, NUL filled") << QByteArray("1750", 4) << 1000 << 2;
        QTest::newRow("leading white space") << QByteArray("  \t 1750   \0", 12) << 1000 << 2;
        QTest::newRow("plus sign") << QByteArray("+1750\0", 6) << 1000 << 2;
        QTest::newRow("twelve digits, no terminator") << QByteArray("000000001750") << 1000 << 2;
        QTest::newRow("stops at a non-octal digit") << QByteArray("1758\0", 5) << 125 << 1;
        QTest::newRow("twelve spaces") << QByteArray(12, ' ') << 0 << 0;
        QTest::newRow("all NUL") << QByteArray(12, '\0') << 0 << 0;
        QTest::newRow("hexadecimal") << QByteArray("0x10\0", 5) << 0 << 0;
        QTest::newRow("sign only") << QByteArray("-\0", 2) << 0 << 0;
        QTest::newRow("negative") << QByteArray("-1750\0", 6) << 0 << 0;
        QTest::newRow("most negative") << QByteArray("-17777777777") << 0 << 0;
        QTest::newRow("beyond qint32") << QByteArray("20000000000\0", 12) << 0 << 0;
        QTest::newRow("base-256") << QByteArray("\x80\0\0\0\0\0\0\0\0\0\x03\xe8", 12) << 0 << 0;
    }
    void sizeField()
    {
        QFETCH(QByteArray, field);
        QFETCH(int, listedSize);
        QFETCH(int, dataBlocks);
        const QByteArray contents = pattern(dataBlocks * 512, 'c');
        const QByteArray archive = rawHeader("first.bin", field) + contents
            + rawFile("next.bin", "N", false) + QByteArray(1024, '\0');
        const ExactBuffer buffer(archive);
        const Tarball tarball(buffer.data(), buffer.size());

        const Tarball::Entry *const first = tarball.find("first.bin");
        if (listedSize == 0) {
            QCOMPARE(first, nullptr);
        } else {
            QVERIFY(first);
            QCOMPARE(first->size, listedSize);
            QCOMPARE(first->offset, 512u);
            QCOMPARE(QByteArray(first->data, first->size), contents.left(listedSize));
        }
        const Tarball::Entry *const next = tarball.find("next.bin");
        QVERIFY(next);
        QCOMPARE(next->offset, quint32(512 + dataBlocks * 512 + 512));
        QCOMPARE(QByteArray(next->data, next->size), QByteArray("N"));
        QVERIFY(!tarball.isTruncated());
    }

    void sizeBeyondTheBuffer()
    {
        const QByteArray archive = rawHeader("huge.bin", "17777777777\0") + QByteArray(2048, 'h');
        const ExactBuffer buffer(archive);
        const Tarball tarball(buffer.data(), buffer.size());
        QVERIFY(tarball.entries().isEmpty());
        QVERIFY(tarball.isTruncated());
    }

    void nameWithoutTerminator()
    {
        const QByteArray name(100, 'n');
        const QByteArray archive = rawFile(name, "x") + QByteArray(1024, '\0');
        const Tarball tarball(archive.constData(), static_cast<quint32>(archive.size()));
        QCOMPARE(names(tarball), QList<QByteArray> {name});
        QVERIFY(!tarball.contains(name + "0"));
    }

    void magicIsCheckedInTheFirstHeaderOnly_data()
    {
        QTest::addColumn<bool>("firstMagic");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::newRow("first header has it") << true << QList<QByteArray> {"a", "b"};
        QTest::newRow("first header lacks it") << false << QList<QByteArray>();
    }
    void magicIsCheckedInTheFirstHeaderOnly()
    {
        QFETCH(bool, firstMagic);
        QFETCH(QList<QByteArray>, expected);
        const QByteArray archive = rawFile("a", "A", firstMagic) + rawFile("b", "B", false);
        const Tarball tarball(archive.constData(), static_cast<quint32>(archive.size()));
        QCOMPARE(names(tarball), expected);
    }

    void lookupsAreExact_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("contents"); // empty: not found
        QTest::newRow("exact") << QByteArray("version.json") << QByteArray("first");
        QTest::newRow("other case") << QByteArray("Version.json") << QByteArray();
        QTest::newRow("prefix") << QByteArray("version.jso") << QByteArray();
        QTest::newRow("longer") << QByteArray("version.json ") << QByteArray();
        QTest::newRow("embedded NUL") << QByteArray("version.json\0x", 14) << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void lookupsAreExact()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, contents);
        // A duplicate name: the earlier file wins.
        const QByteArray archive = rawFile("version.json", "first")
            + rawFile("version.json", "second", false) + QByteArray(1024, '\0');
        const Tarball tarball(archive.constData(), static_cast<quint32>(archive.size()));
        QCOMPARE(tarball.entries().size(), size_t(2));
        const Tarball::Entry *const entry = tarball.find(name);
        QCOMPARE(tarball.contains(name), !contents.isEmpty());
        if (contents.isEmpty())
            QCOMPARE(entry, nullptr);
        else
            QCOMPARE(QByteArray(entry->data, entry->size), contents);
    }
};

K27_TEST_GUILESS_MAIN(TestTarball)
#include "tst_tarball.moc"
