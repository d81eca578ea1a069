// The Admin's service mode page: the command terminal with typed arguments, the packet log with
// its line cap and SAVE LOG, and the direct update of one controller from an image file.

#include "application/core/Config.h"
#include "application/core/PacketLog.h"
#include "application/windows/FileChooser.h"
#include "application/windows/K27SubScreen.h"
#include "application/windows/PacketLogView.h"
#include "component/ZantLinkCommandCode.h"
#include "component/ZantLinkComponent.h"
#include "component/ZantLinkPacket.h"
#include "model/observer/ModelValueObserver.h"
#include "service/TerminalArgumentInput.h"
#include "service/UpdateControlService.h"
#include "service/ZantLinkTerminalService.h"
#include "ui_K27SubScreenServiceModePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QTime>

using ::Application::K27::FileChooser;
using ::Application::K27::PacketLogView;
using ::Application::K27::ResultText;
using ::Application::K27::TerminalArgumentInput;
using ::Application::K27::TerminalCommandItem;
using Service::K27::UpdateControlService;
using Service::K27::ZantLinkTerminalService;

namespace {

constexpr int argumentPositions = 5;

// Every log line starts with the time of day to the millisecond, on screen and in the saved
// file: what happened when, and how far apart.
QString timed(const QString &line)
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) + QLatin1Char(' ') + line;
}

// The list names the controller with the command: both offer commands of the same name.
QString commandEntry(const TerminalCommandItem &item)
{
    const QString controller
        = item.getDestination() == Component::Interfaces::ZantLinkPacket::Display
        ? QStringLiteral("Display")
        : QStringLiteral("Platform");
    return item.text() + QStringLiteral(" \u00b7 ") + controller;
}

} // namespace

void K27SubScreen::connectServiceMode()
{
    const ZantLinkTerminalService *const terminal = terminalService().data();
    connect(terminal, &ZantLinkTerminalService::terminalPlatformReady, this,
            &K27SubScreen::handleTerminalReady);
    connect(terminal, &ZantLinkTerminalService::terminalDisplayReady, this,
            &K27SubScreen::handleTerminalReady);
    const UpdateControlService *const update = updateControlService().data();
    connect(update, &UpdateControlService::progressChanged, this, &K27SubScreen::handleProgress);
    connect(update, &UpdateControlService::digestError, this, &K27SubScreen::handleDigestError);
    connect(update, &UpdateControlService::transferFailed, this, &K27SubScreen::handleUpdateFailed);
}

void K27SubScreen::connectServiceModePage()
{
    Ui::K27SubScreenServiceModePage &page = *m_serviceModePage;
    m_argumentLabels
        = {page.labelArg1, page.labelArg2, page.labelArg3, page.labelArg4, page.labelArg5};
    m_argumentSpinBoxes = {page.doubleSpinBoxArg1, page.doubleSpinBoxArg2, page.doubleSpinBoxArg3,
                           page.doubleSpinBoxArg4, page.doubleSpinBoxArg5};
    m_packetLogView = new PacketLogView(page.textBrowserLogging);

    connect(page.pushButtonMotorForward, &QPushButton::clicked, this, &K27SubScreen::handleForward);
    connect(page.pushButtonMotorBackward, &QPushButton::clicked, this,
            &K27SubScreen::handleBackward);
    connect(page.pushButtonMotorIdle, &QPushButton::clicked, this, &K27SubScreen::handleIdle);
    connect(page.checkBoxLogEnable, &QCheckBox::toggled, this, &K27SubScreen::followPacketLog);
    connect(page.listWidgetCommands, &QListWidget::itemSelectionChanged, this,
            &K27SubScreen::handleCommand);
    connect(page.comboBoxArg1, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &K27SubScreen::handleModelValueID);
    connect(page.pushButtonExecuteCommand, &QPushButton::clicked, this,
            &K27SubScreen::handleExecuteCommand);
    connect(page.pushButtonLogClear, &QPushButton::clicked, m_packetLogView, &PacketLogView::clear);
    connect(page.pushButtonSaveLog, &QPushButton::clicked, this, &K27SubScreen::handleSaveLog);

    connect(page.pushButtonOpenFile, &QPushButton::clicked, this, &K27SubScreen::handleOpenFile);
    connect(page.pushButtonStartUpdate, &QPushButton::clicked, this,
            &K27SubScreen::handleStartUpdate);

    page.checkBoxPlatform->setChecked(true);
    page.pushButtonStartUpdate->show();
    page.progressBarUpdate->show();
    // START UPDATE waits for an image chosen here.
    page.pushButtonStartUpdate->setEnabled(false);
    for (QLabel *label : qAsConst(m_argumentLabels))
        label->hide();
    for (QDoubleSpinBox *spinBox : qAsConst(m_argumentSpinBoxes))
        spinBox->hide();
    page.comboBoxArg1->hide();
    {
        const QSignalBlocker blocker(page.comboBoxArg1);
        page.comboBoxArg1->clear();
        page.comboBoxArg1->addItems(TerminalArgumentInput::valueNames());
        page.comboBoxArg1->setCurrentIndex(0);
    }
}

const ::Application::K27::PacketLog &K27SubScreen::packetLog() const
{
    // Without the page nothing was logged: only a user who may see the page has its log.
    static const ::Application::K27::PacketLog none;
    return m_packetLogView ? m_packetLogView->log() : none;
}

TerminalCommandItem *K27SubScreen::currentCommand() const
{
    QListWidgetItem *const item = m_serviceModePage->listWidgetCommands->currentItem();
    if (item == nullptr || item->type() != TerminalCommandItem::ItemType)
        return nullptr;
    return static_cast<TerminalCommandItem *>(item);
}

void K27SubScreen::handleTerminalReady()
{
    showOnPage(ServiceModePage, QStringLiteral("commands"), [this] { showCommands(); });
}

void K27SubScreen::showCommands()
{
    QListWidget *const list = m_serviceModePage->listWidgetCommands;
    list->clear();
    // Copies: the window changes its own items' arguments ("ModelSetValue"'s value type), the
    // terminal service's list stays as it was built.
    const QIcon platformIcon(
        TerminalCommandItem::iconPath(Component::Interfaces::ZantLinkPacket::Platform));
    const QIcon displayIcon(
        TerminalCommandItem::iconPath(Component::Interfaces::ZantLinkPacket::Display));
    for (const TerminalCommandItem *item : terminalService()->commandItems()) {
        auto *const entry = new TerminalCommandItem(*item);
        entry->setText(commandEntry(*item));
        entry->setIcon(item->getDestination() == Component::Interfaces::ZantLinkPacket::Display
                           ? displayIcon
                           : platformIcon);
        list->addItem(entry);
    }
    list->setCurrentRow(0);
}

void K27SubScreen::handleCommand()
{
    for (QLabel *label : qAsConst(m_argumentLabels))
        label->hide();
    m_serviceModePage->comboBoxArg1->hide();
    for (QDoubleSpinBox *spinBox : qAsConst(m_argumentSpinBoxes))
        spinBox->hide();

    const TerminalCommandItem *const item = currentCommand();
    if (item == nullptr)
        return;
    // The item's arguments are read afresh at every position: choosing the identifier of
    // "ModelSetValue" (position 0) replaces the argument at position 1.
    for (int i = 0; i < argumentPositions && i < item->getArguments().size(); ++i) {
        const QSharedPointer<TerminalCommandItem::Arg> argument = item->getArguments().at(i);
        setUpArgument(i, *argument);
    }
}

void K27SubScreen::setUpArgument(int position, const TerminalCommandItem::Arg &argument)
{
    if (position < 0 || position >= argumentPositions)
        return;
    QLabel *const label = m_argumentLabels.at(position);
    switch (TerminalArgumentInput::widget(argument.getType())) {
    case TerminalArgumentInput::Widget::SpinBox: {
        const TerminalArgumentInput::SpinBoxSetup setup
            = TerminalArgumentInput::spinBoxSetup(argument.getType());
        QDoubleSpinBox *const spinBox = m_argumentSpinBoxes.at(position);
        spinBox->setDecimals(setup.decimals);
        spinBox->setRange(setup.minimum, setup.maximum);
        spinBox->setValue(0.0);
        label->setText(argument.getName());
        label->show();
        spinBox->show();
        break;
    }
    case TerminalArgumentInput::Widget::ValueNames:
    case TerminalArgumentInput::Widget::ActionNames: {
        QComboBox *const comboBox = argumentComboBox(position);
        if (comboBox == nullptr)
            break;
        label->setText(argument.getName());
        label->show();
        comboBox->clear();
        comboBox->addItems(argument.getType() == TerminalCommandItem::Arg::ModelValueID
                               ? TerminalArgumentInput::valueNames()
                               : TerminalArgumentInput::actionNames());
        comboBox->setCurrentIndex(0);
        comboBox->show();
        break;
    }
    case TerminalArgumentInput::Widget::None:
        break;
    }
}

QComboBox *K27SubScreen::argumentComboBox(int position) const
{
    return position == 0 ? m_serviceModePage->comboBoxArg1 : nullptr;
}

void K27SubScreen::handleModelValueID(int index)
{
    TerminalCommandItem *const item = currentCommand();
    if (item == nullptr || item->getCode() != Component::K27::ZantLinkCommandCode::SetModelValue
        || index < 0 || valueObserver() == nullptr)
        return;
    const Model::Interfaces::ModelValueIntf *const value
        = valueObserver()->findValue(static_cast<quint16>(index));
    if (value == nullptr)
        return;
    const QSharedPointer<TerminalCommandItem::Arg> argument
        = TerminalArgumentInput::valueArgument(*value);
    item->setArgument(1, argument);
    setUpArgument(1, *argument);
}

void K27SubScreen::handleExecuteCommand()
{
    const TerminalCommandItem *const item = currentCommand();
    if (item == nullptr)
        return;
    const TerminalCommandItem::ArgList &arguments = item->getArguments();
    for (int i = 0; i < argumentPositions && i < arguments.size(); ++i) {
        const QComboBox *const comboBox = argumentComboBox(i);
        TerminalArgumentInput::assign(*arguments.at(i), m_argumentSpinBoxes.at(i)->value(),
                                      comboBox != nullptr ? comboBox->currentIndex() : 0);
    }

    const Component::Interfaces::ZantLinkPacket packet = TerminalArgumentInput::packet(*item);
    if (item->getCode() != Component::K27::ZantLinkCommandCode::SetModelValue) {
        if (Component::K27::ZantLinkComponent *link = deviceLink())
            link->send(packet);
        return;
    }

    // The model value takes the content and writes it itself, so that model and device stay
    // in step.
    const int identifier = m_serviceModePage->comboBoxArg1->currentIndex();
    Model::Interfaces::ModelValueIntf *const value = identifier < 0 || valueObserver() == nullptr
        ? nullptr
        : valueObserver()->findValue(static_cast<quint16>(identifier));
    if (value == nullptr || packet.argumentCount() < 2)
        return;
    value->receive(packet.argument(1));
    value->send();
}

void K27SubScreen::followPacketLog()
{
    // The terminal service builds a packet's log line only while something listens, and a
    // firmware block's line is 2.5 kB: the window listens only while its user may see the log
    // and has it enabled.
    const bool follow = m_rights.hasRight(AccessRights::ServiceMode) && pageBuilt(ServiceModePage)
        && m_serviceModePage->checkBoxLogEnable->isChecked();
    if (follow == m_followingPacketLog)
        return;
    m_followingPacketLog = follow;
    const ZantLinkTerminalService *const terminal = terminalService().data();
    if (follow) {
        connect(terminal, &ZantLinkTerminalService::commandTransmitted, this,
                &K27SubScreen::handleCommandTransmitted);
        connect(terminal, &ZantLinkTerminalService::commandReceived, this,
                &K27SubScreen::handleCommandReceived);
    } else {
        disconnect(terminal, &ZantLinkTerminalService::commandTransmitted, this,
                   &K27SubScreen::handleCommandTransmitted);
        disconnect(terminal, &ZantLinkTerminalService::commandReceived, this,
                   &K27SubScreen::handleCommandReceived);
    }
}

void K27SubScreen::handleCommandTransmitted(const QByteArray &data)
{
    if (m_serviceModePage->checkBoxLogEnable->isChecked())
        m_packetLogView->append(
            timed(tr("Send: ") + ::Application::K27::PacketLog::lineText(data)));
}

void K27SubScreen::handleCommandReceived(const QByteArray &data)
{
    if (m_serviceModePage->checkBoxLogEnable->isChecked())
        m_packetLogView->append(
            timed(tr("Receive: ") + ::Application::K27::PacketLog::lineText(data)));
}

void K27SubScreen::handleSaveLog()
{
    const QString start = m_logPath.isEmpty() ? QDir::homePath() : m_logPath;
    const QString path = FileChooser::choose(this,
                                             {FileChooser::Purpose::Save, tr("Save log"), start,
                                              tr("Log Files (*.log *.txt);;All Files (*)")},
                                             QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    m_logPath = path;
    const int lines = packetLog().lineCount();
    QString error;
    // The outcome goes into the log itself, after the lines that were saved.
    if (packetLog().save(path, &error))
        m_packetLogView->append(
            timed(tr("Log saved to %1 (%n line(s))", nullptr, lines).arg(path)));
    else
        m_packetLogView->append(timed(tr("The log could not be saved to %1: %2").arg(path, error)));
}

void K27SubScreen::handleOpenFile()
{
    const QString start = configuration() ? configuration()->softwareUpdateDir() : QString();
    const QString path = FileChooser::choose(this,
                                             {FileChooser::Purpose::Open, tr("Open binary file"),
                                              start, tr("Binary Files (*.bin *.crypt)")});
    ResultText::show(m_serviceModePage->labelFilename, tr("Filename: ") + path,
                     ResultText::Kind::Success);
    // START UPDATE sends only what was chosen here: the configuration's path may name the
    // package chosen on the Information page since.
    m_updateImagePath = path;
    m_serviceModePage->pushButtonStartUpdate->setEnabled(!path.isEmpty());
    if (!path.isEmpty() && configuration()) {
        configuration()->setSoftwareUpdateDir(path);
        configuration()->save();
    }
}

void K27SubScreen::handleStartUpdate()
{
    if (m_updateImagePath.isEmpty())
        return;
    // One transfer at a time: a package update owns the update service for its whole run,
    // its waits included.
    if (packageUpdateService()->isUpdating()) {
        ResultText::show(
            m_serviceModePage->labelFilename,
            tr("A package update is running: wait until it has ended, then start again"),
            ResultText::Kind::Error);
        return;
    }
    QFile file(m_updateImagePath);
    if (!file.open(QIODevice::ReadOnly)) {
        ResultText::show(
            m_serviceModePage->labelFilename,
            tr("The file %1 cannot be read: %2").arg(m_updateImagePath, file.errorString()),
            ResultText::Kind::Error);
        return;
    }
    const QByteArray image = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        ResultText::show(
            m_serviceModePage->labelFilename,
            tr("The file %1 cannot be read: %2").arg(m_updateImagePath, file.errorString()),
            ResultText::Kind::Error);
        return;
    }
    const quint32 encrypted = UpdateControlService::isEncryptedName(m_updateImagePath) ? 1 : 0;
    const quint8 node = m_serviceModePage->checkBoxPlatform->isChecked() ? 0 : 1;
    // A refused image (digest, empty, too large, a transfer running) sends nothing and says why
    // through the service's signals.
    updateControlService()->start(image, encrypted, node);
}

void K27SubScreen::handleProgress(int progress)
{
    showOnPage(ServiceModePage, QStringLiteral("progress"),
               [this, progress] { m_serviceModePage->progressBarUpdate->setValue(progress); });
}

void K27SubScreen::handleDigestError()
{
    handleUpdateFailed(UpdateControlService::Error {}, tr("Security Error! Wrong Digest"));
}

void K27SubScreen::handleUpdateFailed(UpdateControlService::Error, const QString &message)
{
    showOnPage(ServiceModePage, QStringLiteral("update result"), [this, message] {
        ResultText::show(m_serviceModePage->labelFilename, message, ResultText::Kind::Error);
    });
}
