#pragma once

#include "utilities/EventObserver.h"

#include <QMap>
#include <QtGlobal>
#include <functional>

// Counts the contents the device delivers, per value identifier. Attached to the model's value
// observer, it learns of every content after the value has stored it.
class ValueArrivals : public Utilities::Events::EventObserver
{
public:
    using Callback = std::function<void(quint16 identifier)>;

    ValueArrivals();
    ~ValueArrivals() override;

    void update(uint32_t eventId, Utilities::Events::BaseEvent &event) override;

    int count(quint16 identifier) const { return m_counts.value(identifier); }
    void setCallback(Callback callback) { m_callback = std::move(callback); }

private:
    QMap<quint16, int> m_counts;
    Callback m_callback;
};
