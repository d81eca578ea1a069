#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelValueEvent.h"
#include "model/observer/ModelActionObserver.h"
#include "model/observer/ModelValueObserver.h"
#include "support/ModelTestApplication.h"

#include <QtTest>
#include <atomic>
#include <cstring>
#include <thread>

using Component::Interfaces::ZantLinkPacket;
using Model::Interfaces::ModelValueEvent;

// Contents arrive on the terminal service's thread while the windows read them on the GUI
// thread. Run under the thread sanitizer, this shows every such access is synchronised;
// without it, it still checks that a reader never sees a content that was never stored.
class TestModelThreads : public QObject
{
    Q_OBJECT

private slots:
    void readsWhileTheDeviceThreadStores()
    {
        TestSupport::ModelTestApplication application;
        Model::Observer::ModelValueObserver values;
        Model::Observer::ModelActionObserver actions;
        Model::Database::ModelDatabase database(&application, &values, &actions);
        Utilities::Events::EventSubject terminal;
        terminal.attach(&values);

        std::atomic<bool> done {false};
        std::thread device([&terminal, &done] {
            const float contents[] = {1.5f, 2.5f};
            for (int round = 0; round < 20000; ++round) {
                char bytes[4];
                std::memcpy(bytes, &contents[round % 2], sizeof bytes);
                ModelValueEvent event(ModelValueEvent::ReceivedFromDevice, 2,
                                      ZantLinkPacket::Argument(bytes, 4));
                terminal.notify(ModelValueEvent::Channel, event);
                const char mode = char(round % 4);
                ModelValueEvent modeEvent(ModelValueEvent::ReceivedFromDevice, 10,
                                          ZantLinkPacket::Argument(&mode, 1));
                terminal.notify(ModelValueEvent::Channel, modeEvent);
            }
            done = true;
        });

        auto &nominalCurrent = database.settings().nominalCurrent();
        int reads = 0;
        while (!done || reads == 0) {
            const float content = nominalCurrent.value();
            QVERIFY(content == 1.0f || content == 1.5f || content == 2.5f);
            const QByteArray text = values.valueText(2);
            QVERIFY(text == "1.0" || text == "1.5" || text == "2.5");
            const float lower = nominalCurrent.lowerNeighbour();
            QVERIFY(lower == 1.0f || lower == 1.4f || lower == 2.4f);
            QVERIFY(!database.operation().operatingMode().toString().isEmpty());
            nominalCurrent.setMaximum(9.9f);
            ++reads;
        }
        device.join();
        QCOMPARE(nominalCurrent.value(), 2.5f);
    }
};

QTEST_GUILESS_MAIN(TestModelThreads)
#include "tst_modelthreads.moc"
