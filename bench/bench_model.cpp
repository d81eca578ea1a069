#include "model/database/ModelDatabase.h"
#include "model/interfaces/ModelValueEvent.h"
#include "model/observer/ModelActionObserver.h"
#include "model/observer/ModelValueObserver.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstring>

using Component::Interfaces::ZantLinkPacket;
using Model::Interfaces::ModelValueEvent;

// The device's content path on the GUI thread: one model value event routed by
// identifier, decoded, stored and its neighbours recomputed. The last registered value is the
// worst case of the linear lookup.
static void routeReceivedContent(benchmark::State &state)
{
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    Model::Database::ModelDatabase database(nullptr, &values, &actions);
    const quint16 id = quint16(state.range(0));
    const float content = 3.3f;
    char bytes[4];
    std::memcpy(bytes, &content, sizeof bytes);
    for (auto _ : state) {
        ModelValueEvent event(ModelValueEvent::ReceivedFromDevice, id,
                              ZantLinkPacket::Argument(bytes, 4));
        values.update(ModelValueEvent::Channel, event);
    }
}
BENCHMARK(routeReceivedContent)->Arg(11)->Arg(49);

// The text the packet log shows for a value after each content.
static void valueText(benchmark::State &state)
{
    Model::Observer::ModelValueObserver values;
    Model::Observer::ModelActionObserver actions;
    Model::Database::ModelDatabase database(nullptr, &values, &actions);
    for (auto _ : state)
        benchmark::DoNotOptimize(values.valueText(quint16(state.range(0))));
}
BENCHMARK(valueText)->Arg(2)->Arg(36)->Arg(17);

// With an application instance, as in the program, so that the GUI-thread check of every
// content access is part of what is measured.
int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
