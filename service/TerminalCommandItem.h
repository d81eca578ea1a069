#pragma once

#include <QIcon>
#include <QList>
#include <QListWidgetItem>
#include <QSharedPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace Application::K27 {

// One command of the service-mode terminal: what to send (code, nodes) and the typed
// arguments the user fills in. Copies share the argument objects.
class TerminalCommandItem : public QListWidgetItem
{
public:
    static constexpr int ItemType = QListWidgetItem::UserType;

    // When a controller offers the command.
    enum Mode : uint32_t { ApplicationMode = 0, BootloaderMode = 1, AnyMode = 2 };

    // One argument: its kind, its label and its value, whose bytes go into the packet as
    // they lie in memory (little-endian).
    class Arg
    {
    public:
        enum Type : uint32_t {
            UInt8 = 0,
            UInt16 = 1,
            UInt32 = 2,
            Float = 3,
            ModelValueID = 4,
            ModelActionID = 5
        };

        Arg(uint32_t type, const QString &name);
        virtual ~Arg();
        Arg(const Arg &) = delete;
        Arg &operator=(const Arg &) = delete;

        virtual const void *data() const = 0;
        virtual uint16_t size() const = 0;

        uint32_t getType() const { return m_type; }
        const QString &getName() const { return m_name; }

    private:
        const uint32_t m_type;
        const QString m_name;
    };

    template<typename T, uint32_t TypeCode> class ValueArg : public Arg
    {
    public:
        explicit ValueArg(const QString &name, T value = T())
            : Arg(TypeCode, name)
            , m_value(value)
        {
        }
        const void *data() const override { return &m_value; }
        uint16_t size() const override { return sizeof(T); }
        T getValue() const { return m_value; }
        void setValue(T value) { m_value = value; }

    private:
        T m_value;
    };

    using UInt8Arg = ValueArg<uint8_t, Arg::UInt8>;
    using UInt16Arg = ValueArg<uint16_t, Arg::UInt16>;
    using UInt32Arg = ValueArg<uint32_t, Arg::UInt32>;
    using FloatArg = ValueArg<float, Arg::Float>;
    using ModelValueIDArg = ValueArg<uint16_t, Arg::ModelValueID>;
    using ModelActionIDArg = ValueArg<uint16_t, Arg::ModelActionID>;

    using ArgList = QList<QSharedPointer<Arg>>;

    TerminalCommandItem(const QIcon &icon, const QString &text, uint16_t code, uint32_t mode,
                        uint8_t source, uint8_t destination, const ArgList &arguments = ArgList());
    TerminalCommandItem(const TerminalCommandItem &other);
    TerminalCommandItem &operator=(const TerminalCommandItem &) = delete;
    ~TerminalCommandItem() override;

    QListWidgetItem *clone() const override;

    uint16_t getCode() const { return m_code; }
    uint32_t getMode() const { return m_mode; }
    uint8_t getSource() const { return m_source; }
    uint8_t getDestination() const { return m_destination; }
    const ArgList &getArguments() const { return m_arguments; }
    // Replaces one argument of this item only; copies made earlier keep theirs.
    void setArgument(int index, const QSharedPointer<Arg> &argument);

    // ":/images/monitor.png" for the Display, ":/images/tower.png" for the Platform.
    static QString iconPath(uint8_t destination);
    // The service-mode command list, 50 items in the order the terminal offers them, without
    // icons: the window that shows them adds the icon of iconPath to its copies.
    static std::vector<std::unique_ptr<TerminalCommandItem>> createCommandItems();

private:
    uint16_t m_code;
    uint32_t m_mode;
    uint8_t m_source;
    uint8_t m_destination;
    ArgList m_arguments;
};

} // namespace Application::K27
