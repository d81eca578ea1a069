#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelThread.h"
#include "model/interfaces/ModelValueEvent.h"
#include "model/observer/ModelActionObserver.h"
#include "model/observer/ModelValueObserver.h"
#include "support/ModelTestApplication.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QtTest>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

using Component::Interfaces::ZantLinkPacket;
using Model::Interfaces::ModelValueEvent;
namespace ModelThread = Model::Interfaces::ModelThread;

namespace {

constexpr quint16 nominalCurrentId = 2;
const QString refusal
    = QStringLiteral("Model value 2 used outside the GUI thread; the access was refused");

// Runs work on a thread of its own and waits for it. Whatever the work finds comes back as a
// plain value and is checked on the GUI thread after the join, so a failed check never
// leaves a joinable thread behind.
template<typename Result> Result onOtherThread(const std::function<Result()> &work)
{
    Result result {};
    std::thread other([&result, &work] { result = work(); });
    other.join();
    return result;
}

} // namespace

// Model contents belong to the GUI thread: the terminal service hands every packet from the
// device to it before a value sees it, and the windows read them there. A content stored or
// read on any other thread is refused and reported instead of racing the GUI thread; under
// the thread sanitizer the concurrent case also shows that a refused access touches nothing
// the GUI thread uses.
class TestModelThreads : public TestSupport::TrappedTest
{
    Q_OBJECT

private:
    TestSupport::ModelTestApplication m_application;
    Model::Observer::ModelValueObserver m_values;
    Model::Observer::ModelActionObserver m_actions;
    std::unique_ptr<Model::Database::ModelDatabase> m_database;
    Utilities::Events::EventSubject m_terminal;

    // A "SetModelValue" for the nominal current, as the terminal service routes it.
    void deliver(float content)
    {
        char bytes[4];
        std::memcpy(bytes, &content, sizeof bytes);
        ModelValueEvent event(ModelValueEvent::ReceivedFromDevice, nominalCurrentId,
                              ZantLinkPacket::Argument(bytes, 4));
        m_terminal.notify(ModelValueEvent::Channel, event);
    }
    Model::Database::Setting::NominalCurrentValue &nominalCurrent()
    {
        return m_database->settings().nominalCurrent();
    }

protected:
    void setUp() override
    {
        m_database = std::make_unique<Model::Database::ModelDatabase>(&m_application, &m_values,
                                                                      &m_actions);
        m_terminal.attach(&m_values);
    }
    void tearDown() override
    {
        m_terminal.detach(&m_values);
        m_database.reset();
    }

private slots:
    void guiThreadStoresAndReads()
    {
        QVERIFY(ModelThread::isCurrent());
        QVERIFY(!onOtherThread<bool>([] { return ModelThread::isCurrent(); }));

        deliver(2.5f);
        QCOMPARE(nominalCurrent().value(), 2.5f);
        QCOMPARE(m_values.valueText(nominalCurrentId), QByteArray("2.5"));
        QCOMPARE(nominalCurrent().lowerNeighbour(), 2.4f);
        nominalCurrent().setValue(1.5f);
        QCOMPARE(nominalCurrent().value(), 1.5f);
        nominalCurrent().reset();
        QCOMPARE(nominalCurrent().value(), 1.0f);
    }

    // Each way of storing or reading a content, tried from another thread: refused with one
    // report, the GUI thread's content and neighbours untouched, a read there gets the
    // default content.
    void otherThreadIsRefused_data()
    {
        QTest::addColumn<QString>("access");
        QTest::newRow("content from the device") << "deliver";
        QTest::newRow("setValue") << "setValue";
        QTest::newRow("reset") << "reset";
        QTest::newRow("neighbours") << "recomputeNeighbours";
        QTest::newRow("value") << "value";
        QTest::newRow("text") << "toString";
    }
    void otherThreadIsRefused()
    {
        QFETCH(QString, access);
        deliver(2.5f);
        QCOMPARE(nominalCurrent().value(), 2.5f);

        const float seen = onOtherThread<float>([this, access] {
            auto &value = nominalCurrent();
            if (access == "deliver")
                deliver(7.5f);
            else if (access == "setValue")
                value.setValue(7.5f);
            else if (access == "reset")
                value.reset();
            else if (access == "recomputeNeighbours")
                value.recomputeNeighbours();
            else if (access == "value")
                return value.value();
            else if (access == "toString")
                return value.toString() == "1.0" ? 1.0f : -1.0f;
            return 0.0f;
        });

        QCOMPARE(warnings().take(), QStringList {refusal});
        if (access == "value" || access == "toString")
            QCOMPARE(seen, 1.0f); // the default content, never the stored one
        QCOMPARE(nominalCurrent().value(), 2.5f);
        QCOMPARE(nominalCurrent().lowerNeighbour(), 2.4f);
        QCOMPARE(nominalCurrent().upperNeighbour(), 2.6f);
        QCOMPARE(m_values.valueText(nominalCurrentId), QByteArray("2.5"));
    }

    // The GUI thread keeps storing and reading while another thread tries the same: only the
    // GUI thread's contents are ever seen, every foreign access is reported.
    void guiThreadUndisturbedByAnother()
    {
        constexpr int rounds = 50;
        std::atomic<bool> go {false};
        std::thread other([this, &go] {
            while (!go.load())
                std::this_thread::yield();
            for (int round = 0; round < rounds; ++round) {
                deliver(7.5f);
                nominalCurrent().setValue(8.5f);
            }
        });
        go = true;
        bool onlyOwnContents = true;
        for (int round = 0; round < 20000; ++round) {
            const float content = round % 2 ? 1.5f : 2.5f;
            if (round % 4 < 2)
                deliver(content);
            else
                nominalCurrent().setValue(content);
            onlyOwnContents = onlyOwnContents && nominalCurrent().value() == content
                && m_values.valueText(nominalCurrentId) == (round % 2 ? "1.5" : "2.5");
        }
        other.join();

        QVERIFY(onlyOwnContents);
        QCOMPARE(nominalCurrent().value(), 1.5f);
        const QStringList reports = warnings().take();
        QCOMPARE(reports.size(), 2 * rounds);
        QCOMPARE(reports.count(refusal), 2 * rounds);
    }
};

K27_TEST_GUILESS_MAIN(TestModelThreads)
#include "tst_modelthreads.moc"
