// The status display's texts and pictures, without a window: what the Information page shows
// for each fault kind as an error and as a warning, and for the operating modes.

#include "application/core/StatusDisplay.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QtTest>

using Application::K27::StatusDisplay;

Q_DECLARE_METATYPE(std::optional<StatusDisplay::MotorStatus>)
Q_DECLARE_METATYPE(std::optional<StatusDisplay::Direction>)

namespace {

// A Serra 2,6 A: its pictures are of the "torvex_k27_serra" family.
constexpr quint32 serra = 36246;

QString picture(const QString &kind)
{
    return QStringLiteral(":/images/torvex_k27_serra_%1.png").arg(kind);
}

} // namespace

class TestStatusDisplay : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void faultView_data();
    void faultView();
    void operatingMode_data();
    void operatingMode();
    void productName_data();
    void productName();
};

void TestStatusDisplay::faultView_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("warning");
    QTest::addColumn<QString>("faultInfo");
    QTest::addColumn<QString>("faultCode");
    // Empty: the picture stays as it is.
    QTest::addColumn<QString>("picture");

    // The fault text is followed by the phase, the capacity in per cent, or nothing.
    const QString phase = QStringLiteral("fault L2");
    const QString capacity = QStringLiteral("fault 87 %");
    const QString plain = QStringLiteral("fault ");
    const QString load = picture(QStringLiteral("error_load"));
    const QString supply = picture(QStringLiteral("error_supply"));
    const QString error = picture(QStringLiteral("error"));
    const QString warningLoad = picture(QStringLiteral("warning_load"));
    const QString warningSupply = picture(QStringLiteral("warning_supply"));
    const QString warning = picture(QStringLiteral("warning"));

    QTest::newRow("error 1 short circuit") << 1 << 0 << phase << "E 1410" << load;
    QTest::newRow("error 2 overload") << 2 << 0 << capacity << "E 1406" << load;
    QTest::newRow("error 3 phase asymmetry") << 3 << 0 << phase << "E 1407" << load;
    QTest::newRow("error 4 phase loss") << 4 << 0 << phase << "E 1408" << load;
    QTest::newRow("error 5 undercurrent") << 5 << 0 << phase << "E 1402" << load;
    QTest::newRow("error 6 supply loss") << 6 << 0 << phase << "E 1409" << supply;
    QTest::newRow("error 7 undervoltage") << 7 << 0 << phase << "E 1404" << supply;
    QTest::newRow("error 8 overvoltage") << 8 << 0 << phase << "E 1403" << supply;
    QTest::newRow("error 9 overtemperature") << 9 << 0 << plain << "E 1405" << error;
    QTest::newRow("error 10 aux undervoltage") << 10 << 0 << plain << "E 1413" << supply;
    QTest::newRow("error 11 aux overvoltage") << 11 << 0 << plain << "E 1414" << supply;
    QTest::newRow("error 12 device error") << 12 << 0 << plain << "E 1411" << error;
    QTest::newRow("error 13 communication") << 13 << 0 << plain << "E 1412" << error;
    QTest::newRow("error 14 security clearance") << 14 << 0 << plain << "E 1415" << error;
    QTest::newRow("error 15 has no code") << 15 << 0 << plain << " " << error;
    QTest::newRow("error 200 unknown") << 200 << 0 << plain << " " << error;
    QTest::newRow("error before warning") << 2 << 3 << capacity << "E 1406" << load;

    QTest::newRow("warning 1 short circuit") << 0 << 1 << plain << "W 1410" << warning;
    QTest::newRow("warning 2 overload") << 0 << 2 << capacity << "W 1406" << warningLoad;
    QTest::newRow("warning 3 phase asymmetry") << 0 << 3 << phase << "W 1407" << warningLoad;
    QTest::newRow("warning 4 phase loss") << 0 << 4 << plain << "W 1408" << warning;
    QTest::newRow("warning 5 undercurrent") << 0 << 5 << phase << "W 1402" << warningLoad;
    QTest::newRow("warning 6 supply loss") << 0 << 6 << phase << "W 1409" << warningSupply;
    QTest::newRow("warning 7 undervoltage") << 0 << 7 << phase << "W 1404" << warningSupply;
    QTest::newRow("warning 8 overvoltage") << 0 << 8 << phase << "W 1403" << warningSupply;
    QTest::newRow("warning 9 overtemperature") << 0 << 9 << plain << "W 1405" << warning;
    QTest::newRow("warning 10 aux undervoltage") << 0 << 10 << plain << "W 1413" << warningSupply;
    QTest::newRow("warning 11 aux overvoltage") << 0 << 11 << plain << "W 1414" << warningSupply;
    QTest::newRow("warning 12 device error") << 0 << 12 << plain << "W 1411" << warning;
    QTest::newRow("warning 13 communication") << 0 << 13 << plain << "W 1412" << warning;
    QTest::newRow("warning 14 security clearance") << 0 << 14 << plain << "W 1415" << warningSupply;
    QTest::newRow("warning 15 keeps the picture") << 0 << 15 << plain << "W 1416" << QString();
    QTest::newRow("warning 16 unknown") << 0 << 16 << plain << " " << warning;
}

void TestStatusDisplay::faultView()
{
    QFETCH(int, error);
    QFETCH(int, warning);
    QFETCH(QString, faultInfo);
    QFETCH(QString, faultCode);
    QFETCH(QString, picture);

    StatusDisplay::Input input;
    input.error = error;
    input.warning = warning;
    input.articleNumber = serra;
    input.errorText = QStringLiteral("fault");
    input.warningText = QStringLiteral("fault");
    input.phaseText = QStringLiteral("L2");
    input.capacityText = QStringLiteral("87");

    const StatusDisplay::View view = StatusDisplay::faultView(input);
    QCOMPARE(view.faultInfo, std::optional<QString>(faultInfo));
    QCOMPARE(view.faultCode, std::optional<QString>(faultCode));
    QCOMPARE(view.picture.value_or(QString()), picture);
    QCOMPARE(view.motorStatus,
             std::optional(error != 0 ? StatusDisplay::MotorStatus::Error
                                      : StatusDisplay::MotorStatus::Warning));
}

void TestStatusDisplay::operatingMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("warning");
    QTest::addColumn<std::optional<StatusDisplay::MotorStatus>>("status");
    QTest::addColumn<std::optional<StatusDisplay::Direction>>("direction");
    QTest::addColumn<QString>("picture");

    using Status = StatusDisplay::MotorStatus;
    using Direction = StatusDisplay::Direction;
    QTest::newRow("idle") << 0 << 0 << std::optional(Status::Idle) << std::optional(Direction::None)
                          << picture(QStringLiteral("standby"));
    QTest::newRow("forward") << 1 << 0 << std::optional(Status::Forward)
                             << std::optional(Direction::Forward)
                             << picture(QStringLiteral("operating"));
    QTest::newRow("backward") << 2 << 0 << std::optional(Status::Backward)
                              << std::optional(Direction::Backward)
                              << picture(QStringLiteral("operating"));
    QTest::newRow("safety stop changes nothing")
        << 3 << 0 << std::optional<Status>() << std::optional<Direction>() << QString();
    QTest::newRow("a warning keeps its status and picture")
        << 1 << 5 << std::optional<Status>() << std::optional(Direction::Forward) << QString();
}

void TestStatusDisplay::operatingMode()
{
    QFETCH(int, mode);
    QFETCH(int, warning);
    QFETCH(std::optional<StatusDisplay::MotorStatus>, status);
    QFETCH(std::optional<StatusDisplay::Direction>, direction);
    QFETCH(QString, picture);

    StatusDisplay::Input input;
    input.operatingMode = mode;
    input.warning = warning;
    input.articleNumber = serra;
    const StatusDisplay::View view = StatusDisplay::operatingModeView(input);
    QCOMPARE(view.motorStatus, status);
    QCOMPARE(view.direction, direction);
    QCOMPARE(view.picture.value_or(QString()), picture);
}

void TestStatusDisplay::productName_data()
{
    QTest::addColumn<quint32>("articleNumber");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("standby");

    QTest::newRow("Serra 2,6 A") << quint32(36246) << QStringLiteral("TORVEX®K27 Serra 2,6 A")
                                 << picture(QStringLiteral("standby"));
    QTest::newRow("Serra Plus 6,6 A")
        << quint32(36262) << QStringLiteral("TORVEX®K27 Serra Plus 6,6 A")
        << QStringLiteral(":/images/torvex_k27_serra+_standby.png");
    QTest::newRow("unknown") << quint32(1) << QStringLiteral(" ") << QString();
}

void TestStatusDisplay::productName()
{
    QFETCH(quint32, articleNumber);
    QFETCH(QString, name);
    QFETCH(QString, standby);

    QCOMPARE(StatusDisplay::productName(articleNumber), name);
    StatusDisplay::Input input;
    input.articleNumber = articleNumber;
    QCOMPARE(StatusDisplay::operatingModeView(input).picture.value_or(QString()), standby);
}

K27_TEST_GUILESS_MAIN(TestStatusDisplay)
#include "tst_gui_statusdisplay.moc"
