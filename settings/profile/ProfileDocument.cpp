#include "settings/profile/ProfileDocument.h"

#include "settings/profile/TextDecoding.h"

#include <algorithm>

namespace qmx::settings {

namespace {

constexpr std::uint8_t kBom[] = {0xEF, 0xBB, 0xBF};

enum class LineKind { Other, Section, Key };

struct LineInfo {
    LineKind kind = LineKind::Other;
    QStringView name;  // section or key name, trimmed
    QStringView value; // key value, trimmed
};

LineInfo classify(QStringView line)
{
    const QStringView text = line.trimmed();
    if (text.isEmpty() || text.front() == u';' || text.front() == u'#')
        return {};
    if (text.front() == u'[') {
        // A header without its closing bracket still opens the section, as the Windows
        // profile functions read it.
        const QStringView inner = text.mid(1);
        const qsizetype close = inner.indexOf(u']');
        return {LineKind::Section, (close < 0 ? inner : inner.left(close)).trimmed(), {}};
    }
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0)
        return {};
    return {LineKind::Key, text.left(equals).trimmed(), text.mid(equals + 1).trimmed()};
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(QStringView text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

QString cutValue(QStringView value)
{
    if (value.size() <= kMaxValueLength)
        return value.toString();
    qsizetype length = kMaxValueLength;
    // Never split a surrogate pair: the cut text must stay valid.
    if (value[length - 1].isHighSurrogate())
        --length;
    return value.left(length).toString();
}

} // namespace

ProfileDocument ProfileDocument::fromBytes(std::span<const std::uint8_t> bytes)
{
    ProfileDocument document;
    if (bytes.size() >= 3 && std::equal(std::begin(kBom), std::end(kBom), bytes.begin())) {
        document.m_byteOrderMark = true;
        bytes = bytes.subspan(3);
    }
    const bool wholeFileIsUtf8 = isValidUtf8(bytes);
    bool utf8Line = false;    // a line that reads as UTF-8 and is not plain ASCII
    bool nonAsciiSeen = false;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        // Line ends: CR LF, LF, or CR alone. Neither byte occurs inside a UTF-8 or Windows-1250
        // character, so lines can be cut before they are decoded.
        std::size_t end = begin;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        std::size_t next = end;
        if (next < bytes.size())
            next += (bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n') ? 2 : 1;
        const auto line = bytes.subspan(begin, end - begin);
        const bool ascii = std::all_of(line.begin(), line.end(), [](std::uint8_t b) { return b < 0x80; });
        QString text;
        if (wholeFileIsUtf8 || isValidUtf8(line)) {
            text = QString::fromUtf8(reinterpret_cast<const char*>(line.data()), qsizetype(line.size()));
            utf8Line = utf8Line || !ascii;
        } else {
            text = decodeWindows1250(line);
        }
        nonAsciiSeen = nonAsciiSeen || !ascii;
        document.m_lines.append(text);
        document.m_raw.emplace_back(QByteArray(reinterpret_cast<const char*>(line.data()), qsizetype(line.size())));
        begin = next;
    }
    // New lines follow the file: UTF-8 unless the file is in the old code page throughout.
    if (nonAsciiSeen && !wholeFileIsUtf8 && !utf8Line)
        document.m_encoding = SourceEncoding::Windows1250;
    return document;
}

ProfileDocument ProfileDocument::fromBytes(const QByteArray& bytes)
{
    return fromBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               std::size_t(bytes.size())));
}

std::optional<QString> ProfileDocument::value(QStringView section, QStringView key) const
{
    section = section.trimmed();
    key = key.trimmed();
    bool inSection = false;
    for (const QString& line : m_lines) {
        const LineInfo info = classify(line);
        if (info.kind == LineKind::Section)
            inSection = sameName(info.name, section);
        else if (info.kind == LineKind::Key && inSection && sameName(info.name, key))
            return cutValue(info.value);
    }
    return std::nullopt;
}

bool ProfileDocument::hasSection(QStringView section) const
{
    section = section.trimmed();
    return std::any_of(m_lines.begin(), m_lines.end(), [&](const QString& line) {
        const LineInfo info = classify(line);
        return info.kind == LineKind::Section && sameName(info.name, section);
    });
}

bool ProfileDocument::canEncode(QStringView text) const
{
    return m_encoding == SourceEncoding::Utf8 || encodeWindows1250(text).has_value();
}

bool ProfileDocument::readsBackInOwnEncoding(const QString& line) const
{
    // A line is read as UTF-8 whenever its bytes are valid UTF-8, so a Windows-1250 line whose
    // bytes happen to be valid UTF-8 ("ÓŁ" is D3 A3) would read back as other characters.
    if (m_encoding == SourceEncoding::Utf8)
        return true;
    const QByteArray bytes = encoded(line);
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<std::uint8_t>(c) < 0x80; });
    return ascii || !isValidUtf8(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
}

QByteArray ProfileDocument::encoded(const QString& line) const
{
    if (m_encoding == SourceEncoding::Windows1250) {
        if (auto bytes = encodeWindows1250(line))
            return *bytes;
    }
    return line.toUtf8();
}

void ProfileDocument::insertLine(qsizetype at, const QString& line)
{
    m_lines.insert(at, line);
    m_raw.insert(m_raw.begin() + at, std::nullopt);
}

bool ProfileDocument::setValue(QStringView section, QStringView key, QStringView text)
{
    section = section.trimmed();
    key = key.trimmed();
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(text))
        return false;
    if (section.contains(u']') || key.isEmpty() || key.contains(u'='))
        return false;
    if (key.front() == u'[' || key.front() == u';' || key.front() == u'#')
        return false;
    // A line that starts with a byte-order mark is read without it, so such a key would not be found.
    if (key.front() == u'\uFEFF')
        return false;

    if (!canEncode(section) || !canEncode(key) || !canEncode(text))
        return false;

    QString newLine = key.toString();
    newLine.append(u'=').append(text);
    if (!readsBackInOwnEncoding(newLine) || !readsBackInOwnEncoding(u'[' + section.toString() + u']'))
        return false;
    bool inSection = false;
    bool inFirstPart = false;
    qsizetype insertAt = -1; // after the last key of the section's first part
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const LineInfo info = classify(m_lines[i]);
        if (info.kind == LineKind::Section) {
            inSection = sameName(info.name, section);
            inFirstPart = inSection && insertAt < 0;
            if (inFirstPart)
                insertAt = i + 1;
        } else if (info.kind == LineKind::Key && inSection) {
            if (sameName(info.name, key)) {
                if (m_lines[i] != newLine) {
                    m_lines[i] = newLine;
                    m_raw[std::size_t(i)].reset();
                }
                return true;
            }
            if (inFirstPart)
                insertAt = i + 1;
        }
    }
    if (insertAt >= 0) {
        insertLine(insertAt, newLine);
        return true;
    }
    insertLine(m_lines.size(), u'[' + section.toString() + u']');
    insertLine(m_lines.size(), newLine);
    return true;
}

QByteArray ProfileDocument::toBytes() const
{
    QByteArray bytes;
    if (m_byteOrderMark)
        bytes.append(reinterpret_cast<const char*>(kBom), sizeof kBom);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const std::optional<QByteArray>& raw = m_raw[std::size_t(i)];
        bytes.append(raw ? *raw : encoded(m_lines[i]));
        bytes.append("\r\n");
    }
    return bytes;
}

} // namespace qmx::settings
