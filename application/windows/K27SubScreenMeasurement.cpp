// The Data page (live voltages, currents and powers) and the Control page (motor commands,
// direction and motor pictures).

#include "application/core/NumberText.h"
#include "application/windows/FileChooser.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/MeasurementTrend.h"
#include "application/windows/ReportedValue.h"
#include "component/SerialPort.h"
#include "model/database/ModelDatabase.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreen.h"
#include "ui_K27SubScreenConfigurationPage.h"
#include "ui_K27SubScreenControlPage.h"
#include "ui_K27SubScreenDataPage.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <utility>

using Application::K27::FileChooser;
using Application::K27::MeasurementRecorder;
using Application::K27::MeasurementSample;
using Application::K27::NumberText;
using Application::K27::ResultText;
using Application::K27::showReportedValue;
using Application::K27::StatusDisplay;
using Application::K27::writeUserChange;
using Model::Interfaces::ModelActionID;
using Service::K27::ZantLinkTerminalService;

namespace {

enum DataPage { VoltagePage = 0, CurrentPage = 1, PowerPage = 2 };

} // namespace

void K27SubScreen::connectDataPage()
{
    // The form's sample readings stand until the first measurement: in the language's numbers.
    for (QLabel *label :
         {m_dataPage->labelVoltage_L1_N, m_dataPage->labelVoltage_L2_N,
          m_dataPage->labelVoltage_L3_N, m_dataPage->labelCurrent_L1, m_dataPage->labelCurrent_L2,
          m_dataPage->labelCurrent_L3, m_dataPage->labelActivePower, m_dataPage->labelReactivePower,
          m_dataPage->labelApparentPower}) {
        const QString sample = label->text();
        const int space = sample.indexOf(QLatin1Char(' '));
        if (space > 0)
            label->setText(NumberText::withUnit(sample.left(space), sample.mid(space + 1)));
    }
    connect(m_dataPage->pushButtonVoltageData, &QPushButton::toggled, this,
            &K27SubScreen::handleMeasurementVoltagePage);
    connect(m_dataPage->pushButtonCurrentData, &QPushButton::toggled, this,
            &K27SubScreen::handleMeasurementCurrentPage);
    connect(m_dataPage->pushButtonPowerData, &QPushButton::toggled, this,
            &K27SubScreen::handleMeasurementPowerPage);
    connect(m_dataPage->pushButtonRecord, &QPushButton::clicked, this, &K27SubScreen::handleRecord);
    connect(m_dataPage->pushButtonStopRecord, &QPushButton::clicked, this,
            &K27SubScreen::handleStopRecord);
    startTrend(m_trendQuantity);
    showRecordingState();
}

void K27SubScreen::connectControlPage()
{
    connect(m_controlPage->pushButtonControlForward, &QPushButton::clicked, this,
            &K27SubScreen::handleForward);
    connect(m_controlPage->pushButtonControlBackward, &QPushButton::clicked, this,
            &K27SubScreen::handleBackward);
    connect(m_controlPage->pushButtonControlIdle, &QPushButton::clicked, this,
            &K27SubScreen::handleIdle);
    m_controlPage->labelControlFault->hide();
    // Any state but unchecked counts as on.
    connect(m_controlPage->checkBoxControlSoftstart, &QCheckBox::stateChanged, this,
            [this](int state) { handleSoftstart(state != Qt::Unchecked); });
}

void K27SubScreen::connectMeasurement()
{
    const ZantLinkTerminalService *terminal = terminalService().data();
    connect(terminal, &ZantLinkTerminalService::measurementVoltageModelValue, this,
            &K27SubScreen::handleMeasurementVoltageModelValue);
    connect(terminal, &ZantLinkTerminalService::measurementCurrentModelValue, this,
            &K27SubScreen::handleMeasurementCurrentModelValue);
    connect(terminal, &ZantLinkTerminalService::measurementActivePowerModelValue, this,
            &K27SubScreen::handleMeasurementActivePowerModelValue);
    connect(terminal, &ZantLinkTerminalService::measurementReactivePowerModelValue, this,
            &K27SubScreen::handleMeasurementReactivePowerModelValue);
    connect(terminal, &ZantLinkTerminalService::measurementApparentPowerModelValue, this,
            &K27SubScreen::handleMeasurementApparentPowerModelValue);
    connect(terminal, &ZantLinkTerminalService::measurementPhaseModelValue, this,
            &K27SubScreen::handleMeasurementPhaseModelValue);
    connect(terminal, &ZantLinkTerminalService::softstartEnableModelValue, this,
            &K27SubScreen::handleSoftstartEnableModelValue);

    connectRecording();
}

void K27SubScreen::handleMeasurementVoltagePage()
{
    fireModelAction(ModelActionID::StartVoltageMeasurement);
    buildPage(DataPage);
    m_dataPage->stackedWidgetData->setCurrentIndex(VoltagePage);
    startTrend(MeasurementSample::Kind::Voltage);
}

void K27SubScreen::handleMeasurementCurrentPage()
{
    fireModelAction(ModelActionID::StartCurrentMeasurement);
    buildPage(DataPage);
    m_dataPage->stackedWidgetData->setCurrentIndex(CurrentPage);
    startTrend(MeasurementSample::Kind::Current);
}

void K27SubScreen::handleMeasurementPowerPage()
{
    fireModelAction(ModelActionID::StartPowerMeasurement);
    buildPage(DataPage);
    m_dataPage->stackedWidgetData->setCurrentIndex(PowerPage);
    startTrend(MeasurementSample::Kind::ActivePower);
}

void K27SubScreen::showMeasurement(QLabel *Ui::K27SubScreenDataPage::*label, const QByteArray &text,
                                   MeasurementSample::Kind kind, int phase)
{
    const QString shown = NumberText::withUnit(QString::fromLatin1(text),
                                               QString::fromLatin1(MeasurementSample::unit(kind)));
    showOnPage(DataPage, QStringLiteral("measurement %1 %2").arg(int(kind)).arg(phase),
               [this, label, shown] {
                   showReportedValue(m_dataPage.data()->*label, &QLabel::setText, shown);
               });
    takeMeasurement(MeasurementSample::fromModel(*database(), kind, phase));
}

void K27SubScreen::handleMeasurementVoltageModelValue(quint8 phase)
{
    using Page = Ui::K27SubScreenDataPage;
    QLabel *Page::*const labels[] {&Page::labelVoltage_L1_N, &Page::labelVoltage_L2_N,
                                   &Page::labelVoltage_L3_N};
    if (phase < std::size(labels))
        showMeasurement(labels[phase], database()->measurement().voltage().toString(),
                        MeasurementSample::Kind::Voltage, phase);
}

void K27SubScreen::handleMeasurementCurrentModelValue(quint8 phase)
{
    using Page = Ui::K27SubScreenDataPage;
    QLabel *Page::*const labels[] {&Page::labelCurrent_L1, &Page::labelCurrent_L2,
                                   &Page::labelCurrent_L3};
    if (phase < std::size(labels))
        showMeasurement(labels[phase], database()->measurement().current().toString(),
                        MeasurementSample::Kind::Current, phase);
}

void K27SubScreen::handleMeasurementActivePowerModelValue()
{
    showMeasurement(&Ui::K27SubScreenDataPage::labelActivePower,
                    database()->measurement().activePower().toString(),
                    MeasurementSample::Kind::ActivePower);
}

void K27SubScreen::handleMeasurementReactivePowerModelValue()
{
    showMeasurement(&Ui::K27SubScreenDataPage::labelReactivePower,
                    database()->measurement().reactivePower().toString(),
                    MeasurementSample::Kind::ReactivePower);
}

void K27SubScreen::handleMeasurementApparentPowerModelValue()
{
    showMeasurement(&Ui::K27SubScreenDataPage::labelApparentPower,
                    database()->measurement().apparentPower().toString(),
                    MeasurementSample::Kind::ApparentPower);
}

void K27SubScreen::handleMeasurementPhaseModelValue()
{
    // The phase travels with the voltage and current signals; nothing to show on its own.
}

// The motor's state and direction are shown as the device reports its operating mode: a
// device may refuse to start (an active error), and then nothing runs.
void K27SubScreen::handleForward()
{
    if (deviceLink() == nullptr)
        return;
    fireModelAction(ModelActionID::MotorStop);
    fireModelAction(ModelActionID::MotorRightOn);
}

void K27SubScreen::handleBackward()
{
    if (deviceLink() == nullptr)
        return;
    fireModelAction(ModelActionID::MotorStop);
    fireModelAction(ModelActionID::MotorLeftOn);
}

void K27SubScreen::handleIdle()
{
    if (deviceLink() == nullptr)
        return;
    fireModelAction(ModelActionID::MotorStop);
}

void K27SubScreen::showMotorBlockedReason()
{
    const StatusDisplay::Input input = statusInput();
    QString text;
    if (input.error != 0 && !input.platformBootloader) {
        //: %1 is the error as the device names it ("Overload"), %2 its code ("E 1406")
        text = tr("The motor does not start: the device reports the error %1 (%2).")
                   .arg(input.errorText.trimmed(), StatusDisplay::errorCode(input.error).trimmed());
        if (m_rights.hasRight(AccessRights::Configuration))
            text += QLatin1Char(' ')
                + tr("Remove its cause, then press RESET ERROR on the Information page.");
    }
    showOnPage(ControlPage, QStringLiteral("blocked reason"), [this, text] {
        m_controlPage->labelControlFault->setText(text);
        m_controlPage->labelControlFault->setVisible(!text.isEmpty());
    });
}

void K27SubScreen::handleSoftstart(bool enable)
{
    if (!m_rights.hasRight(AccessRights::Softstart))
        return;
    if (writeUserChange(database()->settings().softstartEnable(), enable))
        showMotorPicture();
}

void K27SubScreen::handleSoftstartEnableModelValue()
{
    const bool enabled = database()->settings().softstartEnable().value();
    showOnPage(ConfigurationPage, QStringLiteral("softstart"), [this, enabled] {
        showReportedValue(m_configurationPage->checkBoxSoftstart, &QCheckBox::setChecked, enabled);
    });
    showOnPage(ControlPage, QStringLiteral("softstart"), [this, enabled] {
        showReportedValue(m_controlPage->checkBoxControlSoftstart, &QCheckBox::setChecked, enabled);
    });
    showMotorPicture();
}

void K27SubScreen::showMotorPicture()
{
    // With softstart on the device shows no motor picture of its own; the label keeps what
    // it had.
    if (!database()->settings().softstartEnable().value())
        showOnPage(ControlPage, QStringLiteral("motor picture"), [this] {
            showPicture(m_controlPage->labelControlMotor, QStringLiteral(":/images/motor.png"));
        });
}

// ---- trend and recording -------------------------------------------------------------------

void K27SubScreen::connectRecording()
{
    m_recorder = std::make_unique<MeasurementRecorder>();
    m_recordFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    connect(m_ui->stackedWidgetMain, &QStackedWidget::currentChanged, this,
            &K27SubScreen::handleMainPageChanged);
    if (const QSharedPointer<::Application::K27::SerialPort> &port = serialPort())
        connect(port.data(), &::Application::K27::SerialPort::openStateChanged, this,
                &K27SubScreen::handleRecordPortState);
    m_recordingStateTimer.setInterval(MeasurementTrend::refreshIntervalMs);
    connect(&m_recordingStateTimer, &QTimer::timeout, this, &K27SubScreen::showRecordingState);
}

void K27SubScreen::startTrend(MeasurementSample::Kind quantity)
{
    if (quantity == MeasurementSample::Kind::ReactivePower
        || quantity == MeasurementSample::Kind::ApparentPower)
        quantity = MeasurementSample::Kind::ActivePower;
    m_trendQuantity = quantity;
    m_trendClock.start();
    // A Data page built later starts its trend then.
    if (!pageBuilt(DataPage))
        return;
    QStringList titles;
    QString axisTitle;
    switch (quantity) {
    case MeasurementSample::Kind::Voltage:
        // The captions name the phases as the device measures them (to N or line to line).
        titles = QStringList {m_dataPage->labelVoltageText_L1_N->text(),
                              m_dataPage->labelVoltageText_L2_N->text(),
                              m_dataPage->labelVoltageText_L3_N->text()};
        axisTitle = tr("Voltage (V)");
        break;
    case MeasurementSample::Kind::Current:
        titles = QStringList {m_dataPage->labelCurrentText_L1->text(),
                              m_dataPage->labelCurrentText_L2->text(),
                              m_dataPage->labelCurrentText_L3->text()};
        axisTitle = tr("Current (A)");
        break;
    case MeasurementSample::Kind::ActivePower:
    case MeasurementSample::Kind::ReactivePower:
    case MeasurementSample::Kind::ApparentPower:
        quantity = MeasurementSample::Kind::ActivePower;
        titles
            = QStringList {m_dataPage->labelActivePowerText->text() + QStringLiteral(" (kW)"),
                           m_dataPage->labelReactivePowerText->text() + QStringLiteral(" (kVAr)"),
                           m_dataPage->labelApparentPowerText->text() + QStringLiteral(" (kVA)")};
        axisTitle = tr("Power (kW, kVAr, kVA)");
        break;
    }
    m_trendQuantity = quantity;
    m_trendClock.start();
    m_dataPage->widgetMeasurementTrend->setCurves(axisTitle, titles);
}

void K27SubScreen::takeMeasurement(const MeasurementSample &sample)
{
    m_latestMeasurements.take(sample);
    int curve = -1;
    switch (sample.kind) {
    case MeasurementSample::Kind::Voltage:
    case MeasurementSample::Kind::Current:
        if (sample.kind == m_trendQuantity)
            curve = sample.phase;
        break;
    case MeasurementSample::Kind::ActivePower:
    case MeasurementSample::Kind::ReactivePower:
    case MeasurementSample::Kind::ApparentPower:
        // In the order of the labels: active, reactive, apparent.
        if (m_trendQuantity == MeasurementSample::Kind::ActivePower)
            curve = sample.kind == MeasurementSample::Kind::ActivePower ? 0
                : sample.kind == MeasurementSample::Kind::ReactivePower ? 1
                                                                        : 2;
        break;
    }
    if (curve >= 0 && pageBuilt(DataPage))
        m_dataPage->widgetMeasurementTrend->addValue(curve, double(m_trendClock.elapsed()) / 1000.0,
                                                     sample.value);
    if (m_recorder->isRecording() && !m_recorder->record(sample)) {
        m_recordingStateTimer.stop();
        showRecordingState();
        showRecordResult(m_recorder->errorString(), ResultText::Kind::Error);
    }
}

void K27SubScreen::handleRecord()
{
    if (m_recorder->isRecording())
        return;
    // The title is the serial number once the device has told it; a window without one may
    // carry a port path, which is no file name.
    QString serial = m_title.trimmed();
    serial.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]+")), QStringLiteral("_"));
    if (serial.isEmpty() || serial == QLatin1String("_"))
        serial = QStringLiteral("K27");
    const QString suggested = QDir(m_recordFolder)
                                  .filePath(QStringLiteral("%1-%2.csv")
                                                .arg(serial,
                                                     QDateTime::currentDateTime().toString(
                                                         QStringLiteral("yyyyMMdd-HHmmss"))));
    // Asked beside the window: measurements keep arriving while the user chooses.
    FileChooser::chooseBeside(this,
                              {FileChooser::Purpose::Save, tr("Record measurements"), suggested,
                               tr("CSV files (*.csv);;All files (*)")},
                              QStringLiteral("csv"),
                              [this](const QString &path) { handleRecordFile(path); });
}

void K27SubScreen::handleRecordFile(const QString &path)
{
    if (path.isEmpty() || m_recorder->isRecording())
        return;
    m_recordFolder = QFileInfo(path).absolutePath();
    if (!m_recorder->start(path)) {
        showRecordingState();
        showRecordResult(m_recorder->errorString(), ResultText::Kind::Error);
        return;
    }
    showRecordResult(tr("Recording every measurement that arrives."), ResultText::Kind::Success);
    m_recordingStateTimer.start();
    showRecordingState();
}

void K27SubScreen::handleStopRecord()
{
    stopRecording(tr("The recording was saved."));
}

void K27SubScreen::handleMainPageChanged(int index)
{
    if (index != m_ui->stackedWidgetMain->indexOf(m_ui->pageData))
        stopRecording(tr("Leaving the Data page ended the recording; it was saved."));
}

void K27SubScreen::handleRecordPortState()
{
    const QSharedPointer<::Application::K27::SerialPort> &port = serialPort();
    if (port && !port->isOpen())
        stopRecordingAsDeviceLeft();
}

QString K27SubScreen::endRecordingAsDeviceLeft()
{
    stopRecordingAsDeviceLeft();
    return std::exchange(m_recordingEndedByDeviceLeft, QString());
}

void K27SubScreen::stopRecordingAsDeviceLeft()
{
    if (m_recorder->isRecording()) {
        // The page goes with the device's tab: the main window tells what became of the file.
        if (stopRecording(tr("The device has gone away; the recording was saved."))) {
            const QString path = QDir::toNativeSeparators(m_recorder->fileName());
            const qint64 rows = m_recorder->rowCount();
            //: %1 is the file, %2 the number of measurements in it
            m_recordingEndedByDeviceLeft = rows == 1
                ? tr("Recording saved to %1 (1 row)").arg(path)
                : tr("Recording saved to %1 (%2 rows)").arg(path).arg(rows);
        } else {
            m_recordingEndedByDeviceLeft = m_recorder->errorString();
        }
    }
}

bool K27SubScreen::stopRecording(const QString &status)
{
    if (!m_recorder->isRecording())
        return false;
    m_recordingStateTimer.stop();
    const bool saved = m_recorder->stop();
    showRecordingState();
    if (saved)
        showRecordResult(status, ResultText::Kind::Success);
    else
        showRecordResult(m_recorder->errorString(), ResultText::Kind::Error);
    return saved;
}

void K27SubScreen::showRecordResult(const QString &text, ResultText::Kind kind)
{
    showOnPage(DataPage, QStringLiteral("record result"),
               [this, text, kind] { ResultText::show(m_dataPage->labelRecordStatus, text, kind); });
}

void K27SubScreen::showRecordingState()
{
    if (!pageBuilt(DataPage))
        return;
    const bool recording = m_recorder->isRecording();
    m_dataPage->pushButtonRecord->setEnabled(!recording);
    m_dataPage->pushButtonStopRecord->setEnabled(recording);
    const QString path = m_recorder->fileName();
    m_dataPage->labelRecordFile->setText(path.isEmpty() ? QString() : QFileInfo(path).fileName());
    m_dataPage->labelRecordFile->setToolTip(QDir::toNativeSeparators(path));
    const qint64 rows = m_recorder->rowCount();
    m_dataPage->labelRecordRows->setText(path.isEmpty()  ? QString()
                                             : rows == 1 ? tr("1 row")
                                                         : tr("%1 rows").arg(rows));
}
