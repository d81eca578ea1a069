#pragma once

#include "component/ZantLinkComponent.h"

#include <QByteArray>
#include <QVector>

namespace TestSupport {

// A link component that keeps every buffer handed to write instead of writing it anywhere.
// Several recorders may share one journal to show the order in which they were written to.
class RecordingLinkComponent : public Component::K27::ZantLinkComponent
{
public:
    struct Write
    {
        uint32_t componentId;
        QByteArray bytes;
    };

    explicit RecordingLinkComponent(uint32_t id = 0, QVector<Write> *journal = nullptr,
                                    uint8_t node = Node::Host, uint8_t peer = Node::Platform);
    ~RecordingLinkComponent() override;

    void onStart() override { }
    void onStop() override { }
    bool open() override { return true; }
    bool close() override { return true; }
    int write(const char *data, int count) override;
    int write(const QByteArray &text) override;

    const QVector<QByteArray> &writes() const { return m_writes; }
    void clear() { m_writes.clear(); }

private:
    QVector<QByteArray> m_writes;
    QVector<Write> *m_journal;
};

} // namespace TestSupport
