// The service report of the Information page: REPORT asks for a PDF file, asks the display
// for its software version and writes the report once it answers (or has not in time).

#include "application/core/ControllerStates.h"
#include "application/core/ServiceReport.h"
#include "application/core/ServiceReportWriter.h"
#include "application/core/UserLogin.h"
#include "application/windows/FileChooser.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/MainScreen.h"
#include "component/SerialPort.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkComponent.h"
#include "model/database/ModelDatabase.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreenInformationPage.h"

#include <QDateTime>
#include <QDir>
#include <QPushButton>

using Application::K27::ControllerStates;
using Application::K27::FileChooser;
using Application::K27::SerialPort;
using Application::K27::ServiceReport;
using Application::K27::ServiceReportWriter;
using Model::Interfaces::ModelValueID;
using Service::K27::ZantLinkTerminalService;

namespace {

// How long the report waits for the display's software version before it is written
// without it.
constexpr int displayVersionWaitMs = 2000;

} // namespace

void K27SubScreen::connectReport()
{
    m_reportWait.setSingleShot(true);
    connect(&m_reportWait, &QTimer::timeout, this, &K27SubScreen::writeReport);
    connect(m_informationPage->pushButtonReport, &QPushButton::clicked, this,
            &K27SubScreen::handleReport);
    const ZantLinkTerminalService *terminal = terminalService().data();
    connect(terminal, &ZantLinkTerminalService::serialNumberModelValue, this,
            &K27SubScreen::showReportAvailable);
    connect(terminal, &ZantLinkTerminalService::articleNumberModelValue, this,
            &K27SubScreen::showReportAvailable);
    connect(terminal, &ZantLinkTerminalService::softwareVersionReported, this, [this](quint8 node) {
        if (node == ControllerStates::Display && m_reportWait.isActive()) {
            m_reportWait.stop();
            writeReport();
        }
    });
    // Connected after the reported values' own watch: a closed port has forgotten them.
    if (const QSharedPointer<SerialPort> &port = serialPort())
        connect(port.data(), &SerialPort::openStateChanged, this,
                &K27SubScreen::showReportAvailable);
    showReportAvailable();
}

void K27SubScreen::showReportAvailable()
{
    // A report of the model's defaults would describe no device.
    const bool identified = m_reportedSettings
        && m_reportedSettings->arrived(ModelValueID::SerialNumber)
        && m_reportedSettings->arrived(ModelValueID::ArticleNumber);
    m_informationPage->pushButtonReport->setEnabled(identified);
}

void K27SubScreen::handleReport()
{
    if (m_reportWait.isActive())
        return;
    const QString serialNumber
        = QString::fromLatin1(database()->information().serialNumber().toString());
    const QString suggested = QDir::home().filePath(
        QStringLiteral("%1-%2-report.pdf")
            .arg(serialNumber, QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
    const QString path = FileChooser::choose(
        this,
        {FileChooser::Purpose::Save, tr("Save service report"), suggested, tr("PDF files (*.pdf)")},
        QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    m_reportPath = path;
    m_informationPage->labelReportResult->setText(tr("Writing the report …"));
    // The display's software is known only from its answer to this question.
    if (Component::K27::ZantLinkComponent *link = deviceLink();
        link != nullptr && deviceAnswers()) {
        m_reportWait.start(displayVersionWaitMs);
        link->send(Component::K27::ZantLinkCommandCode::GetSWVersion,
                   Component::Interfaces::ZantLinkPacket::Host, ControllerStates::Display);
        return;
    }
    writeReport();
}

void K27SubScreen::writeReport()
{
    ServiceReport::Input input;
    input.time = QDateTime::currentDateTime();
    input.userLevel = MainScreen::levelName(userAccount() ? userAccount()->level() : 0);
    input.reported
        = [this](ModelValueID id) { return m_reportedSettings && m_reportedSettings->arrived(id); };
    if (packageUpdateService())
        input.displayVersion = packageUpdateService()->reportedVersion(ControllerStates::Display);
    input.measurements = m_latestMeasurements.samples();

    QString error;
    if (ServiceReportWriter::write(ServiceReport::html(*database(), input), m_reportPath, &error))
        m_informationPage->labelReportResult->setText(
            tr("Report written to %1").arg(QDir::toNativeSeparators(m_reportPath)));
    else
        m_informationPage->labelReportResult->setText(
            tr("The report was not written to %1: %2")
                .arg(QDir::toNativeSeparators(m_reportPath), error));
}
