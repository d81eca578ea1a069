#include "application/core/ServiceReport.h"

#include "ToolVersion.h"
#include "application/core/StatusDisplay.h"
#include "model/database/ModelDatabase.h"

#include <QLocale>

namespace Application::K27 {

namespace {

using Model::Interfaces::ModelValueID;

// The product's colours: the header line and the section titles.
const char *const reportAccent = "#ef7c00";
const char *const reportDark = "#204253";

QString row(const QString &name, const QString &value)
{
    return QStringLiteral("<tr><td width=\"42%\">%1</td><td>%2</td></tr>")
        .arg(name.toHtmlEscaped(), value.toHtmlEscaped());
}

QString section(const QString &title, const QString &rows)
{
    return QStringLiteral("<h3 style=\"color:%1; margin-top:10px; margin-bottom:2px\">%2</h3>"
                          "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">%3</table>")
        .arg(QLatin1String(reportDark), title.toHtmlEscaped(), rows);
}

// A model text with a decimal point in the user's language, with as many decimals as it has.
QString localNumber(const QByteArray &modelText)
{
    const int point = modelText.indexOf('.');
    const int decimals = point < 0 ? 0 : modelText.size() - point - 1;
    return QLocale().toString(QString::fromLatin1(modelText).toDouble(), 'f', decimals);
}

QString hexId(quint8 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString ServiceReport::commandLineLevel()
{
    return tr("none (command line, k27ctl)");
}

QString ServiceReport::versionText(quint32 version)
{
    return QStringLiteral("V%1.%2.%3.%4")
        .arg((version >> 24) & 0xFF)
        .arg((version >> 16) & 0xFF)
        .arg((version >> 8) & 0xFF)
        .arg(version & 0xFF);
}

QString ServiceReport::html(Model::Database::ModelDatabase &model, const Input &input)
{
    const QLocale locale;
    const QString notReported = tr("not reported");
    const auto reported = [&input](std::initializer_list<ModelValueID> ids) {
        for (const ModelValueID id : ids) {
            if (!input.reported || !input.reported(id))
                return false;
        }
        return true;
    };
    // The value's text when the device reported every value it is made of.
    const auto shown = [&](std::initializer_list<ModelValueID> ids, const QString &text) {
        return reported(ids) ? text : notReported;
    };
    const auto onOff = [](bool on) { return on ? tr("enabled") : tr("disabled"); };
    const auto faultType = [](int type) { return type == 1 ? tr("Error") : tr("Warning"); };

    Model::Database::ModelInformation &information = model.information();
    Model::Database::ModelSettings &settings = model.settings();
    Model::Database::ModelFaults &faults = model.faults();

    const auto articleNumber = static_cast<quint32>(information.articleNumber().value());
    QString report;
    report += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>"
                             "<td><img src=\":/report/logo.png\" width=\"150\"></td>"
                             "<td align=\"right\" valign=\"bottom\"><span style=\"font-size:16pt;"
                             " font-weight:bold; color:%1\">%2</span><br>%3</td></tr></table>")
                  .arg(QLatin1String(reportDark), tr("Service report").toHtmlEscaped(),
                       QStringLiteral("TORVEX®K27 ServiceTool").toHtmlEscaped());
    report += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"0\" "
                             "bgcolor=\"%1\"><tr><td height=\"4\"></td></tr></table>")
                  .arg(QLatin1String(reportAccent));

    report += section(tr("Report"),
                      row(tr("Date and time"), locale.toString(input.time, QLocale::LongFormat))
                          + row(tr("Tool version"), QString::fromLatin1(ToolVersion::text))
                          + row(tr("User level"), input.userLevel));

    const QString productionDate = tr("day %1, week %2, %3")
                                       .arg(information.productionDay().value())
                                       .arg(information.productionWeek().value())
                                       .arg(information.productionYear().value());
    report += section(
        tr("Device"),
        row(tr("Device name"),
            shown({ModelValueID::ArticleNumber}, StatusDisplay::productName(articleNumber)))
            + row(tr("Article number and index"),
                  shown({ModelValueID::ArticleNumber, ModelValueID::ArticleIndex},
                        QString::number(articleNumber) + QLatin1Char(' ')
                            + QString::fromLatin1(information.articleIndex().toString())))
            + row(tr("Serial number"),
                  shown({ModelValueID::SerialNumber},
                        QString::number(information.serialNumber().value())))
            + row(tr("Production date"),
                  shown({ModelValueID::ProductionDay, ModelValueID::ProductionWeek,
                         ModelValueID::ProductionYear},
                        productionDate))
            + row(tr("Hardware IDs (controller : power : display board)"),
                  shown({ModelValueID::HardwareIDControllerBoard,
                         ModelValueID::HardwareIDPowerBoard, ModelValueID::HardwareIDDisplayBoard},
                        hexId(information.controllerBoard().value()) + QLatin1Char(':')
                            + hexId(information.powerBoard().value()) + QLatin1Char(':')
                            + hexId(information.displayBoard().value()))));

    report += section(
        tr("Software"),
        row(tr("Platform controller"),
            shown({ModelValueID::PlatformVersion},
                  versionText(information.platformVersion().value())))
            + row(tr("Display controller"),
                  input.displayVersion ? versionText(*input.displayVersion) : notReported));

    const auto limitRows
        = [&](const QString &name, ModelValueID enableId, bool enabled, ModelValueID thresholdId,
              const QString &threshold, ModelValueID faultId, int fault) {
              return row(name, shown({enableId}, onOff(enabled)))
                  + row(tr("%1: threshold").arg(name), shown({thresholdId}, threshold))
                  + row(tr("%1: fault type").arg(name), shown({faultId}, faultType(fault)));
          };
    QString protection;
    protection
        += row(tr("Trip class"),
               shown({ModelValueID::TripClass},
                     tr("Class %1").arg(QString::fromLatin1(settings.tripClass().toString()))));
    protection
        += row(tr("Nominal current"),
               shown({ModelValueID::NominalCurrent},
                     localNumber(settings.nominalCurrent().toString()) + QStringLiteral(" A")));
    protection += row(tr("Automatic reset"),
                      shown({ModelValueID::OverloadReset},
                            settings.overloadReset().value() ? tr("Automatic") : tr("Manual")));
    protection += limitRows(
        tr("Undercurrent"), ModelValueID::UndercurrentEnable, settings.undercurrentEnable().value(),
        ModelValueID::UndercurrentThreshold,
        localNumber(settings.undercurrentThreshold().toString()) + QStringLiteral(" A"),
        ModelValueID::UndercurrentFaultType, int(settings.undercurrentFault().value()));
    protection += limitRows(
        tr("Undervoltage"), ModelValueID::UndervoltageEnable, settings.undervoltageEnable().value(),
        ModelValueID::UndervoltageThreshold,
        localNumber(settings.undervoltageThreshold().toString()) + QStringLiteral(" V"),
        ModelValueID::UndervoltageFaultType, int(settings.undervoltageFault().value()));
    protection
        += limitRows(tr("Overvoltage"), ModelValueID::OvervoltageEnable,
                     settings.overvoltageEnable().value(), ModelValueID::OvervoltageThreshold,
                     localNumber(settings.overvoltageThreshold().toString()) + QStringLiteral(" V"),
                     ModelValueID::OvervoltageFaultType, int(settings.overvoltageFault().value()));
    // The threshold is a share of the nominal current.
    protection += limitRows(
        tr("Load asymmetry"), ModelValueID::LoadAsymmetryEnable,
        settings.loadAsymmetryEnable().value(), ModelValueID::LoadAsymmetryThreshold,
        locale.toString(double(settings.loadAsymmetryThreshold().value()) * 100.0, 'f', 0)
            + QStringLiteral(" %"),
        ModelValueID::LoadAsymmetryFaultType, int(settings.loadAsymmetryFault().value()));
    report += section(tr("Protection settings"), protection);

    const auto faultRow = [&](const QString &name, ModelValueID id, int kind,
                              const QByteArray &modelText, const QString &code) {
        const QString trimmedCode = code.trimmed();
        const QString text = StatusDisplay::faultName(modelText).trimmed();
        QString shownText = text.isEmpty() ? tr("unknown (%1)").arg(kind) : text;
        if (!trimmedCode.isEmpty())
            shownText += QStringLiteral(" (%1)").arg(trimmedCode);
        return row(name, shown({id}, shownText));
    };
    const int warning = int(faults.warning().value());
    const int error = int(faults.error().value());
    report += section(tr("Faults"),
                      faultRow(tr("Warning"), ModelValueID::Warning, warning,
                               faults.warning().toString(), StatusDisplay::warningCode(warning))
                          + faultRow(tr("Error"), ModelValueID::Error, error,
                                     faults.error().toString(), StatusDisplay::errorCode(error)));

    QString measured;
    for (const MeasurementSample &sample : input.measurements) {
        QString name;
        int decimals = 0;
        switch (sample.kind) {
        case MeasurementSample::Kind::Voltage:
            name = tr("Voltage %1")
                       .arg(QString::fromLatin1(MeasurementSample::phaseName(sample.phase)));
            break;
        case MeasurementSample::Kind::Current:
            name = tr("Current %1")
                       .arg(QString::fromLatin1(MeasurementSample::phaseName(sample.phase)));
            decimals = 1;
            break;
        case MeasurementSample::Kind::ActivePower:
            name = tr("Active power");
            decimals = 2;
            break;
        case MeasurementSample::Kind::ReactivePower:
            name = tr("Reactive power");
            decimals = 2;
            break;
        case MeasurementSample::Kind::ApparentPower:
            name = tr("Apparent power");
            decimals = 2;
            break;
        }
        measured += row(name,
                        locale.toString(sample.value, 'f', decimals) + QLatin1Char(' ')
                            + QString::fromLatin1(MeasurementSample::unit(sample.kind)));
    }
    report += section(tr("Latest measurements"),
                      measured.isEmpty() ? row(tr("None"), tr("the Data page did not run"))
                                         : measured);
    return QStringLiteral("<html><body>%1</body></html>").arg(report);
}

} // namespace Application::K27
