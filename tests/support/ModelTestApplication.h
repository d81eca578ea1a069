#pragma once

#include "component/AbstractApplication.h"
#include "support/RecordingLinkComponent.h"

#include <memory>

namespace TestSupport {

// The smallest application the model can live in: recording link components as components
// 0 (the Platform link) and, on request, 1, added before any value is constructed.
class ModelTestApplication : public Component::Interfaces::AbstractApplication
{
public:
    enum Links { NoLink, Link0, Links0And1 };

    explicit ModelTestApplication(Links links = Link0);
    ~ModelTestApplication() override;

    void run() override { start(); }

    // Null when the application holds no such link.
    RecordingLinkComponent *link0() const { return m_link0.get(); }
    RecordingLinkComponent *link1() const { return m_link1.get(); }
    // Every write of both links, in order.
    const QVector<RecordingLinkComponent::Write> &journal() const { return m_journal; }

private:
    QVector<RecordingLinkComponent::Write> m_journal;
    std::unique_ptr<RecordingLinkComponent> m_link0;
    std::unique_ptr<RecordingLinkComponent> m_link1;
};

} // namespace TestSupport
