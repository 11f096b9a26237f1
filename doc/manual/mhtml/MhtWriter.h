#pragma once
// Writing a MIME HTML archive: one HTML page and the files it refers to, packed into one
// multipart/related message that the help window (and a web browser) can show.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace qmx::manual {

/// A file the page refers to, stored under the name the page uses for it.
struct MhtAttachment {
    QString location; ///< the reference as the page writes it, "img/pomiary.png"
    QString mimeType; ///< "image/png"
    QByteArray data;
};

/// What goes into an archive.
struct MhtContent {
    QString subject;   ///< the archive's title
    QByteArray html;   ///< the page, UTF-8
    QString location;  ///< the page's own address; the attachments' locations are resolved against it
    std::vector<MhtAttachment> attachments;
};

/// The archive as bytes: a MIME message with CR LF line ends whose multipart/related body holds
/// the page (quoted-printable, UTF-8) and then each attachment (base64), each part with its
/// Content-Location made absolute against the page's, and a Content-ID. The same content gives
/// the same bytes (fixed boundary, no date), so builds are repeatable.
QByteArray writeMht(const MhtContent& content);

/// The local files a page embeds: the values of its src attributes that are relative references
/// (no scheme, not starting with "/" or "#"), in order of first use and without repeats.
QStringList embeddedReferences(const QString& html);

} // namespace qmx::manual
