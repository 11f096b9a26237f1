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
    QString text;
    if (isValidUtf8(bytes)) {
        if (bytes.size() >= 3 && std::equal(std::begin(kBom), std::end(kBom), bytes.begin())) {
            document.m_byteOrderMark = true;
            bytes = bytes.subspan(3);
        }
        text = QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    } else {
        document.m_encoding = SourceEncoding::Windows1250;
        text = decodeWindows1250(bytes);
    }
    if (text.isEmpty())
        return document;

    document.m_lines = text.split(u'\n');
    // A final line end does not start another line.
    if (text.endsWith(u'\n'))
        document.m_lines.removeLast();
    for (QString& line : document.m_lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
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

    QString newLine = key.toString();
    newLine.append(u'=').append(text);
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
                m_lines[i] = newLine;
                return true;
            }
            if (inFirstPart)
                insertAt = i + 1;
        }
    }
    if (insertAt >= 0) {
        m_lines.insert(insertAt, newLine);
        return true;
    }
    m_lines.append(u'[' + section.toString() + u']');
    m_lines.append(newLine);
    return true;
}

QByteArray ProfileDocument::toBytes() const
{
    QByteArray bytes;
    if (m_byteOrderMark)
        bytes.append(reinterpret_cast<const char*>(kBom), sizeof kBom);
    for (const QString& line : m_lines) {
        bytes.append(line.toUtf8());
        bytes.append("\r\n");
    }
    return bytes;
}

} // namespace qmx::settings
