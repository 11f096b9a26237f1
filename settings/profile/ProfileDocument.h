#pragma once
// A profile file (INI) held in memory as its lines, so that a change touches one line and leaves
// every other line (comments, blank lines, other sections and keys) as it was.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qmx::settings {

/// Longest value text that a read returns; longer values are cut to this many characters.
inline constexpr qsizetype kMaxValueLength = 2047;

/// The encoding a document was read in, and in which its new or changed lines are written.
enum class SourceEncoding {
    Utf8,        ///< UTF-8: a valid UTF-8 file (also an empty one), or one with UTF-8 lines among others
    Windows1250, ///< the Central European code page of older installations: no line reads as UTF-8
};

/// The lines of one profile file.
///
/// Lines: "[name]" opens a section; "key=value" is a key of the section above it (the key is the
/// text before the first "=", the value the text after it, both trimmed); lines starting with ";" or
/// "#", blank lines and other lines hold no key. Section and key names match without regard to
/// letter case. Keys above the first section belong to no section and are never found. A section
/// that appears more than once is searched in all its parts; the first matching key wins.
class ProfileDocument {
public:
    /// An empty document (a missing file).
    ProfileDocument() = default;

    /// Parses file contents. Lines end in LF, CR LF or CR alone. Each line is read as UTF-8 when
    /// its bytes are valid UTF-8 and as Windows-1250 otherwise (a leading byte-order mark is kept
    /// for writing back). The bytes of every line are kept, so that lines no change touches are
    /// written back with exactly the bytes they were read with.
    static ProfileDocument fromBytes(std::span<const std::uint8_t> bytes);
    /// Convenience overload of fromBytes() for a byte array.
    static ProfileDocument fromBytes(const QByteArray& bytes);

    /// The value of `key` in `section`, trimmed and cut to kMaxValueLength characters; nothing when
    /// the section or the key is missing. The names are trimmed before matching.
    std::optional<QString> value(QStringView section, QStringView key) const;

    /// True when the document holds a header of `section` (matched without regard to case).
    bool hasSection(QStringView section) const;

    /// Sets `key` in `section` to `text`, written unchanged: replaces the first matching key line
    /// in place, or else adds the key after the last key of the section's first part, or else
    /// appends the section with the key at the end. Returns false and changes nothing when the
    /// line could not be read back as written: a line break in any argument, an empty key, a key
    /// holding "=" or starting with "[", ";", "#" or a byte-order mark, a section name holding "]",
    /// a character that the document's encoding cannot hold, or, in a Windows-1250 document, a
    /// line whose bytes would read as UTF-8.
    bool setValue(QStringView section, QStringView key, QStringView text);

    /// The document as bytes, every line ended by CR LF: lines read from the file and not changed
    /// with the bytes they were read with; new or changed lines in the document's encoding.
    QByteArray toBytes() const;

    /// The lines as text, without line ends.
    const QStringList& lines() const { return m_lines; }

    /// The encoding the document was parsed from.
    SourceEncoding sourceEncoding() const { return m_encoding; }

private:
    bool canEncode(QStringView text) const;
    bool readsBackInOwnEncoding(const QString& line) const;
    QByteArray encoded(const QString& line) const;
    void insertLine(qsizetype at, const QString& line);

    QStringList m_lines;
    /// The bytes each line of m_lines was read with (without its line end); nothing once the line
    /// has been changed or added.
    std::vector<std::optional<QByteArray>> m_raw;
    SourceEncoding m_encoding = SourceEncoding::Utf8;
    bool m_byteOrderMark = false;
};

} // namespace qmx::settings
