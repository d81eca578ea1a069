#pragma once

#include "model/interfaces/ModelRegistry.h"
#include "model/interfaces/ModelValueID.h"
#include "model/interfaces/ModelValueIntf.h"
#include "utilities/EventObserver.h"

#include <QByteArray>
#include <QtGlobal>

namespace Model::Interfaces {

// The registry of model values by identifier, listening to channel 24. Values enter it when
// they are constructed and leave it when they are destroyed; it owns none of them. Contents
// from the device are routed on the GUI thread, the thread values enter and leave on (see
// ModelIPCValue.h).
class ModelIPCValueObserver : public Utilities::Events::EventObserver
{
public:
    static constexpr int MaxValues = 55;

    ModelIPCValueObserver();
    ~ModelIPCValueObserver() override;

    // Appends the value unless it is null, already registered or the registry is full;
    // nothing is reported in those cases.
    void registerValue(ModelValueIntf *value) { m_values.add(value); }
    // Removes the value if present, keeping the order of the others.
    void unregisterValue(ModelValueIntf *value) { m_values.remove(value); }
    // The first registered value with the identifier, or null.
    ModelValueIntf *findValue(quint16 id) const { return m_values.find(id); }
    ModelValueIntf *findValue(ModelValueID id) const { return findValue(toNumber(id)); }

    // The display text of the value with the identifier, or empty text if there is none.
    QByteArray valueText(quint16 id) const;

    int valueCount() const { return m_values.count(); }
    ModelValueIntf *valueAt(int index) const { return m_values.at(index); }

private:
    ModelRegistry<ModelValueIntf, MaxValues> m_values;
};

} // namespace Model::Interfaces
