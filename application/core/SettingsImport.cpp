#include "application/core/SettingsImport.h"

#include "application/core/SettingsTransfer.h"
#include "model/interfaces/ModelValueEvent.h"
#include "model/observer/ModelValueObserver.h"

#include <algorithm>
#include <utility>

namespace Application::K27 {

using Model::Interfaces::ModelValueEvent;

SettingsImport::SettingsImport(QSharedPointer<Model::Observer::ModelValueObserver> observer,
                               Model::Database::ModelSettings &model, int timeoutMs)
    : Utilities::Events::EventObserver(ModelValueEvent::Channel)
    , m_observer(std::move(observer))
    , m_model(model)
    , m_timeoutMs(timeoutMs)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SettingsImport::handleTimeout);
    if (m_observer)
        m_observer->attach(this);
}

SettingsImport::~SettingsImport()
{
    if (m_observer)
        m_observer->detach(this);
}

void SettingsImport::start(const Settings &settings)
{
    if (waiting())
        return;
    m_entries.clear();
    m_outcome = Outcome::Waiting;
    for (const Settings::Field field : Settings::fieldOrder()) {
        if (settings.has(field))
            m_entries.append(
                {field, SettingsTransfer::modelNumber(field, m_model), settings.number(field)});
    }
    m_timer.start(m_timeoutMs);
    SettingsTransfer::write(settings, m_model);
    finishWhenComplete();
}

void SettingsImport::update(uint32_t eventId, Utilities::Events::BaseEvent &event)
{
    const auto *valueEvent = dynamic_cast<const ModelValueEvent *>(&event);
    if (!waiting() || eventId != ModelValueEvent::Channel || valueEvent == nullptr
        || valueEvent->getType() != ModelValueEvent::ReceivedFromDevice)
        return;
    for (Entry &entry : m_entries) {
        if (entry.reported
            || Model::Interfaces::toNumber(SettingsTransfer::valueId(entry.field))
                != valueEvent->getId())
            continue;
        entry.reported = true;
        entry.reportedValue = SettingsTransfer::modelNumber(entry.field, m_model);
        finishWhenComplete();
        return;
    }
}

void SettingsImport::finishWhenComplete()
{
    const bool complete = std::all_of(m_entries.cbegin(), m_entries.cend(),
                                      [](const Entry &entry) { return entry.reported; });
    if (!complete || m_finishQueued)
        return;
    m_timer.stop();
    m_outcome = disagreed().isEmpty() ? Outcome::Confirmed : Outcome::Disagreed;
    // Told from the event loop: the report that completed the import is still being notified.
    m_finishQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_finishQueued = false;
            emit finished();
        },
        Qt::QueuedConnection);
}

void SettingsImport::handleTimeout()
{
    if (!waiting())
        return;
    // The model holds what was written; for a setting the device did not report, what it
    // last reported is all that is known.
    for (const Entry &entry : qAsConst(m_entries)) {
        if (!entry.reported)
            SettingsTransfer::setModelNumber(entry.field, entry.before, m_model);
    }
    m_outcome = Outcome::NotConfirmed;
    emit finished();
}

int SettingsImport::confirmed() const
{
    return int(std::count_if(m_entries.cbegin(), m_entries.cend(),
                             [](const Entry &entry) { return entry.reported; }));
}

QList<Settings::Field> SettingsImport::unconfirmed() const
{
    QList<Settings::Field> fields;
    for (const Entry &entry : m_entries) {
        if (!entry.reported)
            fields.append(entry.field);
    }
    return fields;
}

QList<Settings::Field> SettingsImport::disagreed() const
{
    QList<Settings::Field> fields;
    for (const Entry &entry : m_entries) {
        if (entry.reported && entry.reportedValue != entry.written)
            fields.append(entry.field);
    }
    return fields;
}

QStringList SettingsImport::lines() const
{
    QStringList lines;
    for (const Entry &entry : m_entries) {
        const QString title = SettingsTransfer::title(entry.field);
        if (!entry.reported) {
            //: %1 is a setting, %2 the value written
            lines.append(tr("%1 %2: not confirmed by the device")
                             .arg(title, SettingsTransfer::valueText(entry.field, entry.written)));
        } else if (entry.reportedValue != entry.written) {
            //: %1 is a setting, %2 the value the device reported, %3 the value written
            lines.append(tr("%1 %2, not %3: the device kept another value")
                             .arg(title,
                                  SettingsTransfer::valueText(entry.field, entry.reportedValue),
                                  SettingsTransfer::valueText(entry.field, entry.written)));
        } else if (entry.reportedValue != entry.before) {
            lines.append(SettingsTransfer::changeText(
                {entry.field, SettingsTransfer::valueText(entry.field, entry.before),
                 SettingsTransfer::valueText(entry.field, entry.reportedValue)}));
        }
    }
    return lines;
}

} // namespace Application::K27
