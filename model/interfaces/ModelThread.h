#pragma once

#include <QtGlobal>

namespace Model::Interfaces::ModelThread {

// Whether this is the thread model contents belong to (see ModelIPCValue.h): the thread of
// the application instance. Without an application instance (a tool that only reads the
// catalogue) there is no GUI thread to hold to and every thread passes.
bool isCurrent();

// The check where contents are stored, kept in release builds: true on the GUI thread;
// otherwise reports the value's identifier as a critical message and returns false, and the
// caller leaves the content alone, so an access from a wrong thread is seen instead of
// silently racing the GUI thread.
bool check(quint16 valueId);

} // namespace Model::Interfaces::ModelThread
