#pragma once
// The name of an ending signal, for test parameter names and failure messages.

#include <csignal>

namespace qmx::test {

inline const char* signalName(int signalNumber)
{
    switch (signalNumber) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "signal";
    }
}

} // namespace qmx::test
