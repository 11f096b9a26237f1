#pragma once
// Reading a MIME HTML archive (.mht, .mhtml): a web page with its pictures in one
// multipart/related message, as the manual's packer writes it and as browsers and office programs
// save pages. The MIME work (headers, transfer encodings, character sets) is done by GMime.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>

#include <optional>
#include <vector>

namespace qmx::manual {

/// One leaf part of an archive, with its transfer encoding (base64, quoted-printable ...) removed.
struct MhtResource {
    QString mimeType;  ///< lower case, "text/html", "image/png"
    QString charset;   ///< the declared character set; empty when none is declared
    QString location;  ///< Content-Location as written (absolute, relative or empty)
    QString contentId; ///< Content-ID without its angle brackets; empty when none
    QByteArray data;   ///< the decoded bytes, still in their character set
};

/// Why a file could not be read as an archive.
enum class MhtError {
    NotMime,  ///< not a MIME message at all
    NoParts,  ///< a MIME message without a single part that has content
    NoHtml,   ///< no part to show: the start part is missing and no part is an HTML page
};

/// A parsed archive: its parts and the page it shows.
class MhtArchive {
public:
    /// Parses the bytes of a whole archive file; an error value when it holds no page to show.
    static std::optional<MhtArchive> parse(QByteArrayView bytes, MhtError* error = nullptr);

    /// Every leaf part, in the order of the file.
    const std::vector<MhtResource>& resources() const { return m_resources; }
    /// The page to show: the part named by the "start" parameter, else the first HTML part.
    const MhtResource& root() const { return m_resources[m_root]; }
    /// The archive's "Subject" header, decoded; empty when none.
    const QString& subject() const { return m_subject; }

    /// The text of the root page, converted from its declared character set (or the one its
    /// <meta> names; UTF-8 when neither does).
    QString rootHtml() const;
    /// The address that relative references in the root page are resolved against: the root's
    /// Content-Location (empty when it has none).
    QUrl baseUrl() const;
    /// The part a reference of the page points to: "cid:" references by Content-ID, any other by
    /// Content-Location, both sides resolved against baseUrl(). Null when the archive lacks it.
    const MhtResource* find(const QUrl& reference) const;

private:
    MhtArchive() = default;

    std::vector<MhtResource> m_resources;
    std::size_t m_root = 0;
    QString m_subject;
};

/// Decodes the bytes of a text part from `charset` to text; UTF-8 when `charset` is empty or
/// unknown to the character set converter.
QString decodeText(const QByteArray& data, const QString& charset);

} // namespace qmx::manual
