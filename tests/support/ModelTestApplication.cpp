#include "support/ModelTestApplication.h"

namespace TestSupport {

ModelTestApplication::ModelTestApplication(Links links)
    : AbstractApplication(3, QStringLiteral("k27_servicetool"), 0x00040304u)
{
    if (links == Links0And1) {
        m_link1 = std::make_unique<RecordingLinkComponent>(1, &m_journal);
        addComponent(m_link1.get());
    }
    if (links != NoLink) {
        m_link0 = std::make_unique<RecordingLinkComponent>(0, &m_journal);
        addComponent(m_link0.get());
    }
}

ModelTestApplication::~ModelTestApplication() = default;

} // namespace TestSupport
