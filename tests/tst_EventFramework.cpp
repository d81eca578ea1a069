#include "component/AbstractApplication.h"
#include "component/AbstractComponent.h"
#include "component/AbstractService.h"
#include "model/interfaces/ModelValueEvent.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"
#include "utilities/EventObserver.h"
#include "utilities/EventSubject.h"

#include <QStringList>
#include <QtTest>
#include <memory>
#include <vector>

using Component::Interfaces::AbstractApplication;
using Component::Interfaces::AbstractComponent;
using Component::Interfaces::AbstractService;
using Utilities::Events::BaseEvent;
using Utilities::Events::EventObserver;
using Utilities::Events::EventSubject;

namespace {

// Every object below writes what happens to it into one shared journal, so that tests can
// check the order of calls across objects.
using Journal = QStringList;

class RecordingObserver : public EventObserver
{
public:
    RecordingObserver(Journal &journal, const QString &name, uint32_t eventId,
                      uint32_t mask = AllTypes)
        : EventObserver(eventId, mask)
        , m_journal(journal)
        , m_name(name)
    {
    }
    void update(uint32_t eventId, BaseEvent &event) override
    {
        m_journal << QStringLiteral("%1:%2:%3").arg(m_name).arg(eventId).arg(event.getType());
    }

private:
    Journal &m_journal;
    QString m_name;
};

class RecordingComponent : public AbstractComponent
{
public:
    RecordingComponent(Journal &journal, uint32_t id)
        : AbstractComponent(id)
        , m_journal(journal)
    {
    }
    void onStart() override { m_journal << QStringLiteral("component%1.onStart").arg(getId()); }
    void onStop() override { m_journal << QStringLiteral("component%1.onStop").arg(getId()); }

private:
    Journal &m_journal;
};

class RecordingService : public AbstractService
{
public:
    RecordingService(Journal &journal, uint32_t id)
        : AbstractService(id)
        , m_journal(journal)
    {
    }
    void onStart() override { m_journal << QStringLiteral("service%1.onStart").arg(getId()); }
    void onStop() override { m_journal << QStringLiteral("service%1.onStop").arg(getId()); }
    void onProcess() override { m_journal << QStringLiteral("service%1.onProcess").arg(getId()); }
    void onModelValueEvent(uint16_t valueId) override
    {
        m_journal << QStringLiteral("service%1.value%2").arg(getId()).arg(valueId);
    }

private:
    Journal &m_journal;
};

class RecordingApplication : public AbstractApplication
{
public:
    RecordingApplication(Journal &journal)
        : AbstractApplication(3, QStringLiteral("k27_servicetool"), 262916)
        , m_journal(journal)
    {
    }
    void run() override { start(); }

private:
    Journal &m_journal;
};

} // namespace

class tst_EventFramework : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void attachKeepsOneEntryPerObserver();
    void eleventhObserverIsIgnored();
    void notifySelectsChannelAndMask_data();
    void notifySelectsChannelAndMask();
    void detachKeepsOrder();
    void componentStartsAndStopsOnce();
    void serviceStartsComponentsFirstAndStopsThemLast();
    void serviceProcessesOnlyWhileStarted();
    void serviceListsAreBoundedAndWithoutDuplicates();
    void serviceTakesModelValueEventsFromChannel24_data();
    void serviceTakesModelValueEventsFromChannel24();
    void applicationDrivesItsServices();
};

void tst_EventFramework::attachKeepsOneEntryPerObserver()
{
    Journal journal;
    EventSubject subject;
    RecordingObserver observer(journal, QStringLiteral("a"), 24);
    subject.attach(&observer);
    subject.attach(&observer);
    subject.attach(nullptr);
    QCOMPARE(subject.observerCount(), 1);

    BaseEvent event(2);
    subject.notify(24, event);
    QCOMPARE(journal, Journal({QStringLiteral("a:24:2")}));
}

void tst_EventFramework::eleventhObserverIsIgnored()
{
    Journal journal;
    EventSubject subject;
    std::vector<std::unique_ptr<RecordingObserver>> observers;
    for (int i = 0; i < 11; ++i) {
        observers.push_back(std::make_unique<RecordingObserver>(journal, QString::number(i), 24));
        subject.attach(observers.back().get());
    }
    QCOMPARE(subject.observerCount(), 10);
    QCOMPARE(subject.observerAt(9), observers[9].get());

    BaseEvent event(1);
    subject.notify(24, event);
    QCOMPARE(journal.size(), 10);
    QVERIFY(!journal.contains(QStringLiteral("10:24:1")));
    QCOMPARE(journal.first(), QStringLiteral("0:24:1"));
    QCOMPARE(journal.last(), QStringLiteral("9:24:1"));
}

void tst_EventFramework::notifySelectsChannelAndMask_data()
{
    QTest::addColumn<uint32_t>("observerChannel");
    QTest::addColumn<uint32_t>("mask");
    QTest::addColumn<uint32_t>("channel");
    QTest::addColumn<uint32_t>("type");
    QTest::addColumn<bool>("delivered");

    QTest::newRow("other channel, all types") << 25u << 0xFFFFFFFFu << 24u << 2u << false;
    QTest::newRow("other channel, type 0") << 25u << 0xFFFFFFFFu << 24u << 0u << false;
    QTest::newRow("all types, type 1") << 24u << 0xFFFFFFFFu << 24u << 1u << true;
    QTest::newRow("all types, type 2") << 24u << 0xFFFFFFFFu << 24u << 2u << true;
    QTest::newRow("all types, high bit") << 24u << 0xFFFFFFFFu << 24u << 0x80000000u << true;
    QTest::newRow("all types, no type bit") << 24u << 0xFFFFFFFFu << 24u << 0u << false;
    QTest::newRow("mask misses type") << 24u << 0x1u << 24u << 2u << false;
    QTest::newRow("mask shares a bit") << 24u << 0x3u << 24u << 6u << true;
}

void tst_EventFramework::notifySelectsChannelAndMask()
{
    QFETCH(uint32_t, observerChannel);
    QFETCH(uint32_t, mask);
    QFETCH(uint32_t, channel);
    QFETCH(uint32_t, type);
    QFETCH(bool, delivered);

    Journal journal;
    EventSubject subject;
    RecordingObserver observer(journal, QStringLiteral("o"), observerChannel, mask);
    subject.attach(&observer);
    BaseEvent event(type);
    subject.notify(channel, event);
    QCOMPARE(journal.size(), delivered ? 1 : 0);
}

void tst_EventFramework::detachKeepsOrder()
{
    Journal journal;
    EventSubject subject;
    RecordingObserver a(journal, QStringLiteral("a"), 24);
    RecordingObserver b(journal, QStringLiteral("b"), 24);
    RecordingObserver c(journal, QStringLiteral("c"), 24);
    RecordingObserver stranger(journal, QStringLiteral("x"), 24);
    subject.attach(&a);
    subject.attach(&b);
    subject.attach(&c);
    subject.detach(&stranger);
    subject.detach(&a);
    QCOMPARE(subject.observerCount(), 2);

    BaseEvent event(4);
    subject.notify(24, event);
    QCOMPARE(journal, Journal({QStringLiteral("b:24:4"), QStringLiteral("c:24:4")}));

    // The freed place takes a new observer at the end.
    subject.attach(&a);
    journal.clear();
    subject.notify(24, event);
    QCOMPARE(
        journal,
        Journal({QStringLiteral("b:24:4"), QStringLiteral("c:24:4"), QStringLiteral("a:24:4")}));
}

void tst_EventFramework::componentStartsAndStopsOnce()
{
    Journal journal;
    RecordingComponent component(journal, 7);
    QCOMPARE(component.getId(), 7u);
    QCOMPARE(component.getState(), uint32_t(AbstractComponent::Created));

    component.stop();
    QVERIFY(journal.isEmpty());
    QCOMPARE(component.getState(), uint32_t(AbstractComponent::Created));

    component.start();
    component.start();
    QVERIFY(component.isStarted());
    component.stop();
    component.stop();
    QCOMPARE(component.getState(), uint32_t(AbstractComponent::Stopped));
    QVERIFY(!component.isStarted());

    // A stopped component starts again.
    component.start();
    QCOMPARE(journal,
             Journal({QStringLiteral("component7.onStart"), QStringLiteral("component7.onStop"),
                      QStringLiteral("component7.onStart")}));
}

void tst_EventFramework::serviceStartsComponentsFirstAndStopsThemLast()
{
    Journal journal;
    RecordingComponent first(journal, 0);
    RecordingComponent second(journal, 2);
    RecordingService service(journal, 1);
    service.addComponent(&first);
    service.addComponent(&second);

    service.start();
    QVERIFY(service.isStarted());
    service.stop();
    QCOMPARE(service.getState(), uint32_t(AbstractService::Stopped));
    QCOMPARE(journal,
             Journal({QStringLiteral("component0.onStart"), QStringLiteral("component2.onStart"),
                      QStringLiteral("service1.onStart"), QStringLiteral("service1.onStop"),
                      QStringLiteral("component0.onStop"), QStringLiteral("component2.onStop")}));
}

void tst_EventFramework::serviceProcessesOnlyWhileStarted()
{
    Journal journal;
    RecordingService service(journal, 1);
    service.process();
    QVERIFY(journal.isEmpty());
    service.start();
    service.process();
    service.stop();
    service.process();
    QCOMPARE(journal,
             Journal({QStringLiteral("service1.onStart"), QStringLiteral("service1.onProcess"),
                      QStringLiteral("service1.onStop")}));
}

void tst_EventFramework::serviceListsAreBoundedAndWithoutDuplicates()
{
    Journal journal;
    RecordingService service(journal, 1);
    std::vector<std::unique_ptr<RecordingComponent>> components;
    for (uint32_t id = 0; id < 27; ++id) {
        components.push_back(std::make_unique<RecordingComponent>(journal, id));
        service.addComponent(components.back().get());
        service.addComponent(components.back().get());
    }
    service.addComponent(nullptr);
    QCOMPARE(service.componentCount(), 26);
    QCOMPARE(service.getComponent(25), components[25].get());
    QCOMPARE(service.getComponent(26), nullptr);
    QCOMPARE(service.getComponent(1000), nullptr);

    // The first component with a matching id wins.
    RecordingService other(journal, 2);
    RecordingComponent twin(journal, 5);
    other.addComponent(components[5].get());
    other.addComponent(&twin);
    QCOMPARE(other.getComponent(5), components[5].get());
}

void tst_EventFramework::serviceTakesModelValueEventsFromChannel24_data()
{
    QTest::addColumn<uint32_t>("channel");
    QTest::addColumn<uint32_t>("type");
    QTest::addColumn<bool>("modelEvent");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("value arrived") << 24u << 2u << true << QStringList {"service1.value44"};
    QTest::newRow("value to write") << 24u << 1u << true << QStringList {};
    QTest::newRow("action channel") << 25u << 2u << true << QStringList {};
    QTest::newRow("type 2 without identifier") << 24u << 2u << false << QStringList {};
}

void tst_EventFramework::serviceTakesModelValueEventsFromChannel24()
{
    QFETCH(uint32_t, channel);
    QFETCH(uint32_t, type);
    QFETCH(bool, modelEvent);
    QFETCH(QStringList, expected);

    Journal journal;
    RecordingService service(journal, 1);
    QCOMPARE(service.getEventId(), 24u);
    QCOMPARE(service.getMask(), 0xFFFFFFFFu);
    EventSubject subject;
    subject.attach(&service);

    Model::Interfaces::ModelValueEvent valueEvent(type, 44);
    BaseEvent plainEvent(type);
    subject.notify(channel, modelEvent ? static_cast<BaseEvent &>(valueEvent) : plainEvent);
    QCOMPARE(journal, expected);
}

void tst_EventFramework::applicationDrivesItsServices()
{
    Journal journal;
    RecordingApplication application(journal);
    QCOMPARE(application.getName(), QStringLiteral("k27_servicetool"));
    QCOMPARE(application.getVersion(), 262916u);
    QCOMPARE(application.getId(), 3u);

    RecordingComponent link(journal, 0);
    RecordingService terminal(journal, 0);
    RecordingService update(journal, 1);
    terminal.addComponent(&link);
    update.addComponent(&link);
    application.addComponent(&link);
    QCOMPARE(terminal.getApplication(), nullptr);
    application.addService(&terminal);
    application.addService(&update);
    application.addService(&terminal);
    QCOMPARE(application.serviceCount(), 2);
    QCOMPARE(terminal.getApplication(), &application);
    QCOMPARE(application.getService(1), &update);
    QCOMPARE(application.getService(12), nullptr);

    // A component shared by the application and two services starts and stops once.
    application.run();
    application.process();
    application.stop();
    QCOMPARE(journal,
             Journal({QStringLiteral("component0.onStart"), QStringLiteral("service0.onStart"),
                      QStringLiteral("service1.onStart"), QStringLiteral("service0.onProcess"),
                      QStringLiteral("service1.onProcess"), QStringLiteral("service0.onStop"),
                      QStringLiteral("component0.onStop"), QStringLiteral("service1.onStop")}));

    // A full service list still claims the service for the application.
    std::vector<std::unique_ptr<RecordingService>> services;
    for (uint32_t id = 100; id < 112; ++id) {
        services.push_back(std::make_unique<RecordingService>(journal, id));
        application.addService(services.back().get());
    }
    QCOMPARE(application.serviceCount(), 13);
    RecordingService surplus(journal, 200);
    application.addService(&surplus);
    QCOMPARE(application.serviceCount(), 13);
    QCOMPARE(application.getService(200), nullptr);
    QCOMPARE(surplus.getApplication(), &application);
}

K27_TEST_GUILESS_MAIN(tst_EventFramework)
#include "tst_EventFramework.moc"
