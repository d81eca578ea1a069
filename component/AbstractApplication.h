#pragma once

#include "component/AbstractService.h"

#include <QString>
#include <array>
#include <cstdint>

namespace Component::Interfaces {

// An application is a service that owns the running of a set of services: starting it
// starts every service (each with its components), stopping and processing likewise.
// The services are not owned.
class AbstractApplication : public AbstractService
{
public:
    static constexpr int MaxServices = 13;

    AbstractApplication(uint32_t id, const QString &name, uint32_t version,
                        const QString &description = QString());
    ~AbstractApplication() override;

    void onStart() override;
    void onStop() override;
    void onProcess() override;
    virtual void run() = 0;

    // Appends unless null, present or full; the service belongs to this application in any
    // case.
    void addService(AbstractService *service);
    AbstractService *getService(uint32_t id) const;
    int serviceCount() const { return m_serviceCount; }
    AbstractService *serviceAt(int index) const;

    const QString &getName() const { return m_name; }
    uint32_t getVersion() const { return m_version; }
    const QString &getDescription() const { return m_description; }

private:
    const QString m_name;
    const uint32_t m_version;
    std::array<AbstractService *, MaxServices> m_services {};
    int m_serviceCount = 0;
    const QString m_description;
};

} // namespace Component::Interfaces
