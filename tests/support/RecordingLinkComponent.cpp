#include "support/RecordingLinkComponent.h"

namespace TestSupport {

RecordingLinkComponent::RecordingLinkComponent(uint32_t id, QVector<Write> *journal, uint8_t node,
                                               uint8_t peer)
    : ZantLinkComponent(id, node, peer)
    , m_journal(journal)
{
}

RecordingLinkComponent::~RecordingLinkComponent() = default;

int RecordingLinkComponent::write(const char *data, int count)
{
    return write(QByteArray(data, count));
}

int RecordingLinkComponent::write(const QByteArray &text)
{
    m_writes.append(text);
    if (m_journal != nullptr)
        m_journal->append({getId(), text});
    return WriteOk;
}

} // namespace TestSupport
