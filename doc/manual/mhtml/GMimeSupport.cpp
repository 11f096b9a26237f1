#include "GMimeSupport.h"

#include <mutex>

namespace qmx::manual::detail {

void ensureGMimeStarted()
{
    // GMime keeps process-wide tables (character sets, the default parser options); they are
    // built once and never torn down, since other users of the library may still need them.
    static std::once_flag started;
    std::call_once(started, [] { g_mime_init(); });
}

QByteArray memoryStreamBytes(GMimeStream* stream)
{
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream));
    if (!bytes || bytes->len == 0) {
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(bytes->data), static_cast<qsizetype>(bytes->len));
}

} // namespace qmx::manual::detail
