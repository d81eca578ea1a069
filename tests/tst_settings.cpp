// The settings file: its exact text, the cut to two decimals, and what an import takes from a
// file and writes to a device, or why it refuses the file and writes nothing.

#include "application/core/ConfigurationRules.h"
#include "application/core/Settings.h"
#include "application/core/SettingsTransfer.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkPacket.h"
#include "model/database/ModelDatabase.h"
#include "model/observer/ModelActionObserver.h"
#include "model/observer/ModelValueObserver.h"
#include "support/FileSizeLimit.h"
#include "support/ModelTestApplication.h"
#include "support/TestRegistry.h"
#include "support/TestSupport.h"
#include "support/TrappedTest.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using Application::K27::ConfigurationRules;
using Application::K27::Settings;
using Application::K27::SettingsTransfer;
using Component::Interfaces::ZantLinkPacket;
using Model::Interfaces::ModelValueID;
using TestSupport::readFile;
using TestSupport::writeFile;
namespace Types = Model::Interfaces::ModelTypes;

Q_DECLARE_METATYPE(Model::Interfaces::ModelValueID)

namespace {

// The example device of the settings file's description, as the file keeps it.
const QByteArray exampleFile = R"({
    "NominalCurrent": 2.6,
    "OverloadReset": true,
    "Overvoltage": {
        "Enable": false,
        "FaultType": 0,
        "Threshold": 253
    },
    "TripClass": 3,
    "Undercurrent": {
        "Enable": false,
        "FaultType": 0,
        "Threshold": 0.5
    },
    "Undervoltage": {
        "Enable": true,
        "FaultType": 1,
        "Threshold": 195
    }
}
)";

using TestSupport::FileSizeLimit;

} // namespace

class TestSettings : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void exampleText();
    void cut_data();
    void cut();
    void importFile_data();
    void importFile();
    void checkAgainstPresentSettings_data();
    void checkAgainstPresentSettings();
    void unreadableFiles_data();
    void unreadableFiles();
    void failedSaveKeepsTheOldFile();
    void refusedFileKeepsTheContent();
    void changes();
    void eachFieldGoesToItsValue();
    void allowedRange_data();
    void allowedRange();

protected:
    void setUp() override;
    void tearDown() override;

private:
    // "TripClass=3 NominalCurrent=2.6 …": the "SetModelValue" packets the link received, by
    // value name, floats in their shortest form.
    QString sentValues() const;

    std::unique_ptr<TestSupport::ModelTestApplication> m_application;
    std::unique_ptr<Model::Observer::ModelValueObserver> m_valueObserver;
    std::unique_ptr<Model::Observer::ModelActionObserver> m_actionObserver;
    std::unique_ptr<Model::Database::ModelDatabase> m_database;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestSettings::setUp()
{
    m_application = std::make_unique<TestSupport::ModelTestApplication>();
    m_valueObserver = std::make_unique<Model::Observer::ModelValueObserver>();
    m_actionObserver = std::make_unique<Model::Observer::ModelActionObserver>();
    m_database = std::make_unique<Model::Database::ModelDatabase>(
        m_application.get(), m_valueObserver.get(), m_actionObserver.get());
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());

    // A Serra 6,6 A with a nominal current of 2.6 A.
    Model::Database::ModelSettings &model = m_database->settings();
    model.maxNominalCurrent().setValue(6.6F);
    model.nominalCurrent().setValue(2.6F);
    model.maxTripClass().setValue(Types::Settings::TripClass(7));
}

void TestSettings::tearDown()
{
    m_database.reset();
    m_actionObserver.reset();
    m_valueObserver.reset();
    m_application.reset();
    m_folder.reset();
}

QString TestSettings::sentValues() const
{
    QStringList values;
    for (const QByteArray &bytes : m_application->link0()->writes()) {
        const ZantLinkPacket packet(bytes);
        if (packet.getCommand() != Component::K27::ZantLinkCommandCode::SetModelValue
            || packet.argumentCount() < 2) {
            values.append(QStringLiteral("?"));
            continue;
        }
        const QByteArray identifier = packet.argument(0).toByteArray();
        const QByteArray content = packet.argument(1).toByteArray();
        const quint16 id = quint16(quint8(identifier.at(0)) | quint8(identifier.at(1)) << 8);
        QString text;
        if (content.size() == 4) {
            float number = 0;
            std::memcpy(&number, content.constData(), 4);
            text = QString::number(double(number), 'g', 7);
        } else {
            text = QString::number(quint8(content.at(0)));
        }
        values.append(QString::fromLatin1(Model::Interfaces::modelValueName(id)) + QLatin1Char('=')
                      + text);
    }
    return values.join(QLatin1Char(' '));
}

void TestSettings::exampleText()
{
    Settings settings;
    settings.setTripClass(3);
    settings.setNominalCurrent(2.6F);
    settings.setOverloadReset(true);
    settings.undervoltage().setEnable(true);
    settings.undervoltage().setThreshold(195.0F);
    settings.undervoltage().setFaultType(1);
    settings.undercurrent().setThreshold(0.5F);
    settings.overvoltage().setThreshold(253.0F);
    const QString path = m_folder->filePath(QStringLiteral("example.json"));
    QVERIFY2(settings.save(path), qPrintable(settings.errorString()));
    QCOMPARE(readFile(path), exampleFile);
}

void TestSettings::cut_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("2.6 stays") << 2.6F << QByteArray("2.6");
    QTest::newRow("2.1 stays") << 2.1F << QByteArray("2.1");
    QTest::newRow("0.53 stays") << 0.53F << QByteArray("0.53");
    QTest::newRow("229.99 stays") << 229.99F << QByteArray("229.99");
    QTest::newRow("1.239 cut") << 1.239F << QByteArray("1.23");
    QTest::newRow("229.999 cut") << 229.999F << QByteArray("229.99");
    QTest::newRow("253 whole") << 253.0F << QByteArray("253");
    QTest::newRow("zero") << 0.0F << QByteArray("0");
    QTest::newRow("0.01") << 0.01F << QByteArray("0.01");
    QTest::newRow("9.999 cut") << 9.999F << QByteArray("9.99");
}

void TestSettings::cut()
{
    QFETCH(float, value);
    QFETCH(QByteArray, written);
    Settings settings;
    settings.setNominalCurrent(value);
    QJsonObject object;
    settings.write(object);
    const QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
    QVERIFY2(text.contains("\"NominalCurrent\":" + written + ","), text.constData());

    // Read back, the file gives the device the same float whenever nothing was cut.
    Settings back;
    QVERIFY(back.read(QJsonDocument::fromJson(text).object()));
    QCOMPARE(back.nominalCurrent(), written.toFloat());
}

void TestSettings::importFile_data()
{
    QTest::addColumn<QByteArray>("content");
    // Empty when the file is taken; otherwise words the refusal must contain.
    QTest::addColumn<QString>("refusal");
    // What reaches the device, in order.
    QTest::addColumn<QString>("sent");

    QTest::newRow("export example")
        << exampleFile << QString()
        << "TripClass=3 NominalCurrent=2.6 OverloadReset=1 UndercurrentEnable=0 "
           "UndercurrentThreshold=0.5 UndercurrentFaultType=0 UndervoltageEnable=1 "
           "UndervoltageThreshold=195 UndervoltageFaultType=1 OvervoltageEnable=0 "
           "OvervoltageThreshold=253 OvervoltageFaultType=0";
    QTest::newRow("only OverloadReset: nothing else sent")
        << QByteArray(R"({"OverloadReset": true})") << QString() << "OverloadReset=1";
    QTest::newRow("missing keys inside a function")
        << QByteArray(R"({"Undervoltage": {"Threshold": 229.99}})") << QString()
        << "UndervoltageThreshold=229.99";
    QTest::newRow("empty object") << QByteArray("{}") << "no settings found in this file"
                                  << QString();
    QTest::newRow("only unknown keys")
        << QByteArray(R"({"tripClass": 1, "Softstart": {"Enable": true}})")
        << "no settings found in this file" << QString();
    QTest::newRow("known keys only inside an unknown object")
        << QByteArray(R"({"Backup": {"TripClass": 1, "NominalCurrent": 2.0}})")
        << "no settings found in this file" << QString();
    QTest::newRow("a key twice") << QByteArray(
        R"({"NominalCurrent": 2.0, "TripClass": 1, "NominalCurrent": 3.0})")
                                 << "the key \"NominalCurrent\" appears twice" << QString();
    QTest::newRow("a key twice inside a function")
        << QByteArray(R"({"Undercurrent": {"Enable": true, "Enable": false}})")
        << "the key \"Undercurrent.Enable\" appears twice" << QString();
    QTest::newRow("a key twice in an unknown object")
        << QByteArray(R"({"TripClass": 1, "Notes": {"a": 1, "a": 2}})")
        << "the key \"Notes.a\" appears twice" << QString();
    QTest::newRow("a function twice")
        << QByteArray(R"({"Undervoltage": {"Enable": true}, "Undervoltage": {"Enable": false}})")
        << "the key \"Undervoltage\" appears twice" << QString();
    QTest::newRow("not JSON, cut inside an escape")
        << QByteArray(R"({"TripClass": 1, "Note": "\)") << "it is not valid JSON" << QString();
    QTest::newRow("the same key in two functions")
        << QByteArray(R"({"Undervoltage": {"Enable": true}, "Overvoltage": {"Enable": true}})")
        << QString() << "UndervoltageEnable=1 OvervoltageEnable=1";
    QTest::newRow("keys in texts are no keys") << QByteArray(
        R"({"Note": "\"TripClass\": 2, {", "TripClass": 1, "List": ["TripClass", {"TripClass": 4}]})")
                                               << QString() << "TripClass=1";
    QTest::newRow("unknown keys ignored")
        << QByteArray(R"({"Softstart": 1, "TripClass": 1, "LoadAsymmetry": {"Enable": true}})")
        << QString() << "TripClass=1";
    QTest::newRow("trip class 3.0 is whole")
        << QByteArray(R"({"TripClass": 3.0})") << QString() << "TripClass=3";
    QTest::newRow("trip class as a string")
        << QByteArray(R"({"TripClass": "3", "OverloadReset": true})")
        << "\"TripClass\" must be a number" << QString();
    QTest::newRow("trip class with a fraction")
        << QByteArray(R"({"TripClass": 2.5})") << "\"TripClass\" must be a whole number"
        << QString();
    QTest::newRow("trip class above TripClassMax")
        << QByteArray(R"({"TripClass": 8})") << "\"TripClass\" is 8, outside 0 to 7" << QString();
    QTest::newRow("trip class beyond a byte")
        << QByteArray(R"({"TripClass": 259})") << "\"TripClass\" is 259" << QString();
    QTest::newRow("negative trip class")
        << QByteArray(R"({"TripClass": -1})") << "\"TripClass\" is -1" << QString();
    QTest::newRow("nominal current at the device's maximum")
        << QByteArray(R"({"NominalCurrent": 6.6})") << QString() << "NominalCurrent=6.6";
    QTest::newRow("nominal current above the device's maximum")
        << QByteArray(R"({"NominalCurrent": 6.7})")
        << "\"NominalCurrent\" is 6.7, outside 0.1 to 6.6" << QString();
    QTest::newRow("nominal current zero")
        << QByteArray(R"({"NominalCurrent": 0})") << "\"NominalCurrent\" is 0" << QString();
    QTest::newRow("nominal current as a boolean")
        << QByteArray(R"({"NominalCurrent": true})") << "\"NominalCurrent\" must be a number"
        << QString();
    QTest::newRow("overload reset as a number")
        << QByteArray(R"({"OverloadReset": 1})") << "\"OverloadReset\" must be true or false"
        << QString();
    QTest::newRow("function not an object") << QByteArray(R"({"Undercurrent": 5})")
                                            << "\"Undercurrent\" must be an object" << QString();
    QTest::newRow("threshold as a string")
        << QByteArray(R"({"Undercurrent": {"Threshold": "0.5"}})")
        << "in \"Undercurrent\": \"Threshold\" must be a number" << QString();
    QTest::newRow("enable as a string")
        << QByteArray(R"({"Overvoltage": {"Enable": "true"}})")
        << "in \"Overvoltage\": \"Enable\" must be true or false" << QString();
    QTest::newRow("fault type 2") << QByteArray(R"({"Overvoltage": {"FaultType": 2}})")
                                  << "\"Overvoltage.FaultType\" is 2, outside 0 to 1" << QString();
    QTest::newRow("fault type with a fraction")
        << QByteArray(R"({"Undervoltage": {"FaultType": 0.5}})")
        << "\"FaultType\" must be a whole number" << QString();
    QTest::newRow("voltage above 600")
        << QByteArray(R"({"Undervoltage": {"Threshold": 600.5}})")
        << "\"Undervoltage.Threshold\" is 600.5, outside 0 to 600" << QString();
    QTest::newRow("undercurrent threshold above the device's nominal current")
        << QByteArray(R"({"Undercurrent": {"Threshold": 3.0}})")
        << "\"Undercurrent.Threshold\" is 3, outside 0 to 2.6" << QString();
    QTest::newRow("undercurrent threshold below the file's nominal current")
        << QByteArray(R"({"NominalCurrent": 3.5, "Undercurrent": {"Threshold": 3.0}})") << QString()
        << "NominalCurrent=3.5 UndercurrentThreshold=3";
    QTest::newRow("undercurrent threshold above the file's nominal current")
        << QByteArray(R"({"NominalCurrent": 2.0, "Undercurrent": {"Threshold": 2.5}})")
        << "\"Undercurrent.Threshold\" is 2.5, outside 0 to 2" << QString();
    QTest::newRow("a bad key after good ones")
        << QByteArray(R"({"TripClass": 1, "NominalCurrent": 2.0, "OverloadReset": "yes"})")
        << "\"OverloadReset\"" << QString();
    QTest::newRow("not JSON") << QByteArray("TripClass = 3") << "not valid JSON" << QString();
    QTest::newRow("cut short") << exampleFile.left(60) << "not valid JSON" << QString();
    QTest::newRow("an array") << QByteArray("[{\"TripClass\": 1}]") << "not a JSON object"
                              << QString();
    QTest::newRow("empty file") << QByteArray() << "not valid JSON" << QString();
}

void TestSettings::importFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, refusal);
    QFETCH(QString, sent);

    const QString path = m_folder->filePath(QStringLiteral("import.json"));
    QVERIFY(writeFile(path, content));
    Model::Database::ModelSettings &model = m_database->settings();
    Settings settings;
    QString error;
    const bool taken = settings.load(path) && SettingsTransfer::check(settings, model, &error);
    if (taken)
        SettingsTransfer::write(settings, model);
    if (error.isEmpty())
        error = settings.errorString();
    QCOMPARE(taken, refusal.isEmpty());
    if (!taken)
        QVERIFY2(error.contains(refusal), qPrintable(error));
    QCOMPARE(sentValues(), sent);
}

void TestSettings::checkAgainstPresentSettings_data()
{
    QTest::addColumn<float>("undercurrentThreshold");
    QTest::addColumn<float>("asymmetryThreshold");
    QTest::addColumn<QByteArray>("content");
    // Empty when the file may be written; otherwise the refusal.
    QTest::addColumn<QString>("refusal");

    // The device's nominal current is 2.6 A.
    QTest::newRow("nominal current below the undercurrent threshold kept")
        << 2.5F << 0.5F << QByteArray(R"({"NominalCurrent": 1.0})")
        << "\"NominalCurrent\" is 1, and the device's \"Undercurrent.Threshold\" of 2.5 would "
           "then lie outside 0 to 1";
    QTest::newRow("nominal current and threshold lowered together")
        << 2.5F << 0.5F
        << QByteArray(R"({"NominalCurrent": 1.0, "Undercurrent": {"Threshold": 0.8}})")
        << QString();
    QTest::newRow("threshold alone, below the nominal current kept")
        << 2.5F << 0.5F << QByteArray(R"({"Undercurrent": {"Threshold": 2.0}})") << QString();
    QTest::newRow("nominal current below the load asymmetry threshold kept")
        << 0.5F << 2.0F << QByteArray(R"({"NominalCurrent": 1.5})")
        << "\"NominalCurrent\" is 1.5, and the device's \"LoadAsymmetryThreshold\" of 2 would "
           "then lie outside ";
    QTest::newRow("a device already inconsistent is no fault of the file")
        << 3.0F << 0.5F << QByteArray(R"({"TripClass": 2})") << QString();
}

void TestSettings::checkAgainstPresentSettings()
{
    QFETCH(float, undercurrentThreshold);
    QFETCH(float, asymmetryThreshold);
    QFETCH(QByteArray, content);
    QFETCH(QString, refusal);
    Model::Database::ModelSettings &model = m_database->settings();
    model.undercurrentThreshold().setValue(undercurrentThreshold);
    model.loadAsymmetryThreshold().setValue(asymmetryThreshold);
    const QString path = m_folder->filePath(QStringLiteral("import.json"));
    QVERIFY(writeFile(path, content));
    Settings settings;
    QVERIFY(settings.load(path));

    QString error;
    QCOMPARE(SettingsTransfer::check(settings, model, &error), refusal.isEmpty());
    QVERIFY2(error.startsWith(refusal), qPrintable(error));
}

void TestSettings::unreadableFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("missing") << "missing"
                             << "does not exist";
    QTest::newRow("folder") << "folder"
                            << "not a regular file";
    QTest::newRow("fifo") << "fifo"
                          << "not a regular file";
    QTest::newRow("too large") << "large"
                               << "larger than 65536 bytes";
}

void TestSettings::unreadableFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, refusal);
    const QString path = m_folder->filePath(QStringLiteral("settings.json"));
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (kind == QLatin1String("large")) {
        // A valid file, only too large: spaces before the object.
        QVERIFY(writeFile(path, QByteArray(Settings::maximumFileSize, ' ') + exampleFile));
    }
    Settings settings;
    QVERIFY(!settings.load(path));
    QVERIFY2(settings.errorString().contains(refusal), qPrintable(settings.errorString()));
    QCOMPARE(settings.fields(), quint16(0));
}

void TestSettings::failedSaveKeepsTheOldFile()
{
    const QString path = m_folder->filePath(QStringLiteral("settings.json"));
    QVERIFY(writeFile(path, exampleFile));
    Settings settings;
    SettingsTransfer::fill(settings, m_database->settings());
    {
        FileSizeLimit limit(64);
        QVERIFY(limit.isValid());
        QVERIFY(!settings.save(path));
    }
    QVERIFY2(settings.errorString().contains(QStringLiteral("cannot be written")),
             qPrintable(settings.errorString()));
    QCOMPARE(readFile(path), exampleFile);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList {"settings.json"});

    // A value JSON cannot hold is not written either.
    settings.undercurrent().setThreshold(std::numeric_limits<float>::quiet_NaN());
    QVERIFY(!settings.save(path));
    QVERIFY2(settings.errorString().contains(QStringLiteral("\"Undercurrent.Threshold\"")),
             qPrintable(settings.errorString()));
    QCOMPARE(readFile(path), exampleFile);
}

void TestSettings::refusedFileKeepsTheContent()
{
    Settings settings;
    QVERIFY(settings.read(QJsonDocument::fromJson(exampleFile).object()));
    QCOMPARE(settings.fields(), Settings::AllFields);
    QVERIFY(!settings.read(
        QJsonDocument::fromJson(R"({"TripClass": 5, "NominalCurrent": "x"})").object()));
    QCOMPARE(settings.tripClass(), quint8(3));
    QCOMPARE(settings.nominalCurrent(), 2.6F);
    QCOMPARE(settings.fields(), Settings::AllFields);
}

void TestSettings::changes()
{
    Model::Database::ModelSettings &model = m_database->settings();
    model.tripClass().setValue(Types::Settings::TripClass(3));
    model.undervoltageThreshold().setValue(195.0F);
    Settings settings;
    QVERIFY(settings.read(QJsonDocument::fromJson(R"({"TripClass": 2, "NominalCurrent": 3.0,
        "OverloadReset": false, "Undervoltage": {"Threshold": 229.99, "Enable": true,
        "FaultType": 1}})")
                              .object()));
    QList<SettingsTransfer::Change> changes;
    QCOMPARE(SettingsTransfer::write(settings, model, &changes), 6);
    QStringList texts;
    for (const SettingsTransfer::Change &change : changes)
        texts.append(SettingsTransfer::changeText(change));
    // The automatic reset was off already: written, but no change.
    QCOMPARE(texts,
             QStringList({QStringLiteral("Trip class 10A \u2192 5"),
                          QStringLiteral("Nominal current 2.6 A \u2192 3.0 A"),
                          QStringLiteral("Undervoltage off \u2192 on"),
                          QStringLiteral("Undervoltage threshold 195 V \u2192 229.99 V"),
                          QStringLiteral("Undervoltage fault type Warning \u2192 Error")}));
}

void TestSettings::allowedRange_data()
{
    QTest::addColumn<ModelValueID>("value");
    // The device's "TripClassMax"; the fixture's device has 7.
    QTest::addColumn<int>("tripClassMax");
    // What the window did before: lowered the trip class's own maximum to this (-1: nothing).
    QTest::addColumn<int>("loweredTripClass");
    // The nominal current a change is about to bring (negative: none, the device's 2.6 A).
    QTest::addColumn<double>("nominalCurrent");
    QTest::addColumn<bool>("hasRange");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    const double nominal = double(2.6F);
    QTest::newRow("trip class up to TripClassMax")
        << ModelValueID::TripClass << 3 << -1 << -1.0 << true << 0.0 << 3.0;
    QTest::newRow("trip class follows a raised TripClassMax")
        << ModelValueID::TripClass << 7 << 3 << -1.0 << true << 0.0 << 7.0;
    QTest::newRow("nominal current up to NominalCurrentMax")
        << ModelValueID::NominalCurrent << 7 << -1 << -1.0 << true << double(0.1F) << double(6.6F);
    QTest::newRow("undercurrent threshold up to the nominal current")
        << ModelValueID::UndercurrentThreshold << 7 << -1 << -1.0 << true << 0.0 << nominal;
    QTest::newRow("undercurrent threshold up to a nominal current about to be written")
        << ModelValueID::UndercurrentThreshold << 7 << -1 << 3.5 << true << 0.0 << 3.5;
    QTest::newRow("load asymmetry threshold up to its own 1.0")
        << ModelValueID::LoadAsymmetryThreshold << 7 << -1 << -1.0 << true << double(0.01F) << 1.0;
    QTest::newRow("load asymmetry threshold up to a nominal current below 1.0")
        << ModelValueID::LoadAsymmetryThreshold << 7 << -1 << 0.5 << true << double(0.01F) << 0.5;
    QTest::newRow("undervoltage threshold its own range")
        << ModelValueID::UndervoltageThreshold << 7 << -1 << -1.0 << true << 0.0 << 600.0;
    QTest::newRow("overvoltage threshold its own range")
        << ModelValueID::OvervoltageThreshold << 7 << -1 << -1.0 << true << 0.0 << 600.0;
    QTest::newRow("fault type warning or error")
        << ModelValueID::UndervoltageFaultType << 7 << -1 << -1.0 << true << 0.0 << 1.0;
    QTest::newRow("a switch has no range")
        << ModelValueID::OverloadReset << 7 << -1 << -1.0 << false << 0.0 << 0.0;
    QTest::newRow("no setting has no range")
        << ModelValueID::ArticleNumber << 7 << -1 << -1.0 << false << 0.0 << 0.0;
}

void TestSettings::allowedRange()
{
    QFETCH(ModelValueID, value);
    QFETCH(int, tripClassMax);
    QFETCH(int, loweredTripClass);
    QFETCH(double, nominalCurrent);
    QFETCH(bool, hasRange);
    QFETCH(double, minimum);
    QFETCH(double, maximum);

    Model::Database::ModelSettings &model = m_database->settings();
    if (loweredTripClass >= 0)
        model.tripClass().setMaximum(Types::Settings::TripClass(loweredTripClass));
    model.maxTripClass().setValue(Types::Settings::TripClass(tripClassMax));
    const auto range = ConfigurationRules::allowedRange(
        value, model,
        nominalCurrent < 0 ? std::nullopt : std::optional<float>(float(nominalCurrent)));
    QCOMPARE(range.has_value(), hasRange);
    if (!hasRange)
        return;
    QCOMPARE(range->minimum, minimum);
    QCOMPARE(range->maximum, maximum);
}

K27_TEST_GUILESS_MAIN(TestSettings)

// Every setting is written to, and awaited in k27ctl from, the model value valueId names.
void TestSettings::eachFieldGoesToItsValue()
{
    Model::Database::ModelSettings &model = m_database->settings();
    for (const Settings::Field field : Settings::fieldOrder()) {
        Settings settings;
        SettingsTransfer::fill(settings, model);
        settings.setFields(field);
        m_application->link0()->clear();
        QCOMPARE(SettingsTransfer::write(settings, model), 1);
        const QVector<QByteArray> writes = m_application->link0()->writes();
        QCOMPARE(writes.size(), 1);
        const ZantLinkPacket packet(writes.first());
        QVERIFY(packet.argumentCount() >= 1);
        const QByteArray identifier = packet.argument(0).toByteArray();
        QCOMPARE(quint16(quint8(identifier.at(0)) | quint8(identifier.at(1)) << 8),
                 Model::Interfaces::toNumber(SettingsTransfer::valueId(field)));
    }
}

#include "tst_settings.moc"
