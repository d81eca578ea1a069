#pragma once

#include <QByteArray>
#include <QObject>
#include <array>

namespace Service::K27 {
class ZantLinkTerminalService;
} // namespace Service::K27

namespace Application::K27 {

// What the device's two controllers run, as their last answers to "GetName" say: their
// application, or their bootloader (an update that broke off leaves a controller there, without
// a model to read). Unknown until a controller has answered.
class ControllerStates : public QObject
{
    Q_OBJECT

public:
    enum class State { Unknown, Application, Bootloader, Other };
    Q_ENUM(State)

    static constexpr quint8 Platform = 0;
    static constexpr quint8 Display = 1;

    explicit ControllerStates(const Service::K27::ZantLinkTerminalService *terminal,
                              QObject *parent = nullptr);

    // The state of a controller (Platform or Display); Unknown for another node.
    State state(quint8 node) const;
    // The controller's last answer as it came; empty while unknown.
    QByteArray name(quint8 node) const;
    bool runsBootloader(quint8 node) const { return state(node) == State::Bootloader; }
    // Whether a controller runs its bootloader.
    bool anyInBootloader() const;

    static State stateOf(const QByteArray &name);

    // A controller's answer; the terminal service's answers come here.
    void setName(quint8 node, const QByteArray &name);

signals:
    // After every answer that changed what a controller runs; state(node) says what it runs now.
    void controllerStateChanged(quint8 node);

private:
    std::array<QByteArray, 2> m_names;
};

} // namespace Application::K27
