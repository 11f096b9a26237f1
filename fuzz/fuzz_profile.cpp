// Fuzz target: the profile (INI) reader and writer, fed any file contents and one change.
// Input: section, key and value texts (FuzzedDataProvider), then the file's bytes.
// Invariants: a document written back unchanged has every line with the bytes it was read with
// (line ends become CR LF); a change touches only its own line (or adds the key, or the section and
// the key) and every other line keeps its bytes; the changed value reads back, also after the file
// is read again; a refused change leaves the document as it was. The text decoders: bytes found to
// be valid UTF-8 decode and encode back unchanged; Windows-1250 bytes decode and encode back
// unchanged except the five bytes the code page leaves undefined; a file holding a NUL byte or
// starting as UTF-16 is never taken for text.

#include "FuzzCheck.h"

#include "settings/profile/ProfileDocument.h"
#include "settings/profile/TextDecoding.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace {

using qmx::settings::ProfileDocument;

const QByteArray kBom("\xEF\xBB\xBF");

/// The file as the writer must give it back: the byte-order mark, then each line ended by CR LF.
QByteArray expectedUnchanged(const QByteArray& file)
{
    QByteArray rest = file.startsWith(kBom) ? file.mid(3) : file;
    QByteArray out = file.startsWith(kBom) ? kBom : QByteArray();
    qsizetype begin = 0;
    while (begin < rest.size()) {
        qsizetype end = begin;
        while (end < rest.size() && rest[end] != '\n' && rest[end] != '\r') {
            ++end;
        }
        out += rest.mid(begin, end - begin) + "\r\n";
        if (end < rest.size() && rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n') {
            ++end;
        }
        begin = end + 1;
    }
    return out;
}

/// The lines of a written document (after its byte-order mark), without their CR LF.
QList<QByteArray> writtenLines(const QByteArray& written)
{
    QByteArray body = written.startsWith(kBom) ? written.mid(3) : written;
    FUZZ_CHECK(body.isEmpty() || body.endsWith("\r\n"));
    QList<QByteArray> lines = body.split('\n');
    lines.removeLast(); // after the last line end
    for (QByteArray& line : lines) {
        FUZZ_CHECK(line.endsWith('\r'));
        line.chop(1);
        FUZZ_CHECK(!line.contains('\r'));
    }
    return lines;
}

/// True when `after` is `before` with one line replaced, or with one or two lines inserted together.
bool onlyOneLineChanged(const QList<QByteArray>& before, const QList<QByteArray>& after)
{
    const qsizetype added = after.size() - before.size();
    if (added < 0 || added > 2) {
        return false;
    }
    qsizetype head = 0;
    while (head < before.size() && before[head] == after[head]) {
        ++head;
    }
    qsizetype tail = 0;
    while (tail < before.size() - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    // What differs between the common head and tail: at most one old line, and one or two new ones.
    const qsizetype oldDiffering = before.size() - head - tail;
    const qsizetype newDiffering = after.size() - head - tail;
    return oldDiffering <= 1 && newDiffering - oldDiffering == added && newDiffering <= 2;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString section = qmx::fuzz::textOf(provider.ConsumeRandomLengthString(64));
    const QString key = qmx::fuzz::textOf(provider.ConsumeRandomLengthString(64));
    const QString text = qmx::fuzz::textOf(provider.ConsumeRandomLengthString(256));
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QByteArray file(rest.data(), static_cast<qsizetype>(rest.size()));

    const std::span<const std::uint8_t> fileBytes(reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size());
    if (qmx::settings::isValidUtf8(fileBytes)) {
        // Decoded keeping a leading byte-order mark as a character (QString::fromUtf8 drops it).
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        const QString text = decoder(file);
        FUZZ_CHECK(!decoder.hasError());
        FUZZ_CHECK(text.toUtf8() == file);
    }
    const QString decoded = qmx::settings::decodeWindows1250(fileBytes);
    FUZZ_CHECK(decoded.size() == file.size());
    const auto reencoded = qmx::settings::encodeWindows1250(decoded);
    const bool undefinedByte = std::any_of(rest.begin(), rest.end(), [](char c) {
        const auto b = static_cast<std::uint8_t>(c);
        return b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98;
    });
    FUZZ_CHECK(reencoded.has_value() != undefinedByte);
    FUZZ_CHECK(!reencoded || *reencoded == file);
    if (file.contains('\0') || file.startsWith("\xFF\xFE") || file.startsWith("\xFE\xFF")) {
        FUZZ_CHECK(qmx::settings::notReadableAsText(fileBytes).has_value());
    }

    ProfileDocument document = ProfileDocument::fromBytes(file);
    const QByteArray unchanged = document.toBytes();
    FUZZ_CHECK(unchanged == expectedUnchanged(file));
    // Reading the written file again gives the same lines.
    FUZZ_CHECK(ProfileDocument::fromBytes(unchanged).lines() == document.lines());

    if (!document.setValue(section, key, text)) {
        FUZZ_CHECK(document.toBytes() == unchanged);
        return 0;
    }
    const QString expected = text.trimmed().left(qmx::settings::kMaxValueLength);
    const auto value = document.value(section, key);
    FUZZ_CHECK(value.has_value() && *value == expected);
    FUZZ_CHECK(document.hasSection(section));

    const QByteArray changed = document.toBytes();
    FUZZ_CHECK(changed.startsWith(kBom) == unchanged.startsWith(kBom));
    FUZZ_CHECK(onlyOneLineChanged(writtenLines(unchanged), writtenLines(changed)));

    const ProfileDocument reread = ProfileDocument::fromBytes(changed);
    const auto rereadValue = reread.value(section, key);
    FUZZ_CHECK(rereadValue.has_value() && *rereadValue == expected);
    FUZZ_CHECK(reread.toBytes() == changed);
    return 0;
}
