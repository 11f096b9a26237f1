#pragma once
// What the archive reader and writer share of GMime: its one-time start and ownership of its
// reference-counted objects.

#include <QByteArray>

#include <gmime/gmime.h>

#include <memory>

namespace qmx::manual::detail {

/// Drops one reference of a GObject (GMime's streams, parts, messages, filters ...).
struct GObjectUnref {
    void operator()(gpointer object) const
    {
        if (object) {
            g_object_unref(object);
        }
    }
};

/// Owns one reference of a GObject.
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

/// Starts GMime once per process; safe to call from any thread, any number of times.
void ensureGMimeStarted();

/// The bytes written so far into a memory stream.
QByteArray memoryStreamBytes(GMimeStream* stream);

} // namespace qmx::manual::detail
