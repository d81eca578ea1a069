#include "application/core/ControllerStates.h"

#include "service/ZantLinkTerminalService.h"

namespace Application::K27 {

ControllerStates::ControllerStates(const Service::K27::ZantLinkTerminalService *terminal,
                                   QObject *parent)
    : QObject(parent)
{
    if (terminal == nullptr)
        return;
    connect(terminal, &Service::K27::ZantLinkTerminalService::terminalPlatformReady, this,
            [this, terminal] { setName(Platform, terminal->platformName()); });
    connect(terminal, &Service::K27::ZantLinkTerminalService::terminalDisplayReady, this,
            [this, terminal] { setName(Display, terminal->displayName()); });
}

ControllerStates::State ControllerStates::stateOf(const QByteArray &name)
{
    if (name.isEmpty())
        return State::Unknown;
    if (name == "Application")
        return State::Application;
    if (name == "Bootloader")
        return State::Bootloader;
    return State::Other;
}

ControllerStates::State ControllerStates::state(quint8 node) const
{
    return stateOf(name(node));
}

QByteArray ControllerStates::name(quint8 node) const
{
    return node < m_names.size() ? m_names.at(node) : QByteArray();
}

bool ControllerStates::anyInBootloader() const
{
    return runsBootloader(Platform) || runsBootloader(Display);
}

void ControllerStates::setName(quint8 node, const QByteArray &name)
{
    if (node >= m_names.size())
        return;
    const State before = state(node);
    m_names[node] = name;
    if (state(node) != before)
        emit controllerStateChanged(node);
}

} // namespace Application::K27
