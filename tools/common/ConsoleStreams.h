#pragma once

// The standard output and error of a command-line tool as text streams. Each is one stream for
// the whole program, so what different functions write keeps its order.

#include <QTextStream>
#include <cstdio>

namespace Console {

inline QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

inline QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

} // namespace Console
