#include "MhtWriter.h"

#include "GMimeSupport.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QUrl>

namespace qmx::manual {

using detail::GObjectPtr;

namespace {

/// A part holding `data` with the given type and transfer encoding.
GObjectPtr<GMimePart> makePart(const QString& mimeType, const QByteArray& data, GMimeContentEncoding encoding)
{
    const QByteArray type = mimeType.section(u'/', 0, 0).toLatin1();
    const QByteArray subtype = mimeType.section(u'/', 1).toLatin1();
    GObjectPtr<GMimePart> part(g_mime_part_new_with_type(type.constData(), subtype.constData()));
    GObjectPtr<GMimeStream> stream(data.isEmpty() ? g_mime_stream_mem_new()
                                                  : g_mime_stream_mem_new_with_buffer(
                                                        data.constData(), static_cast<size_t>(data.size())));
    GObjectPtr<GMimeDataWrapper> wrapper(g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part.get(), wrapper.get());
    g_mime_part_set_content_encoding(part.get(), encoding);
    return part;
}

void setAddress(GMimePart* part, const QString& location, const QString& contentId)
{
    g_mime_part_set_content_location(part, location.toUtf8().constData());
    g_mime_object_set_content_id(GMIME_OBJECT(part), contentId.toUtf8().constData());
}

} // namespace

QByteArray writeMht(const MhtContent& content)
{
    detail::ensureGMimeStarted();

    // The boundary comes from the content, so equal content gives equal files. "=_" can appear
    // neither in quoted-printable nor in base64 text, so the boundary never occurs in a part.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(content.html);
    for (const MhtAttachment& a : content.attachments) {
        hash.addData(a.location.toUtf8());
        hash.addData(a.data);
    }
    const QByteArray boundary = "----=_QMX80NET_" + hash.result().toHex().left(24);

    GObjectPtr<GMimeMultipart> related(g_mime_multipart_new_with_subtype("related"));
    g_mime_multipart_set_boundary(related.get(), boundary.constData());
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(related.get()), "type", "text/html");

    const QUrl base(content.location);
    auto page = makePart(QStringLiteral("text/html"), content.html, GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(page.get()), "charset", "utf-8");
    setAddress(page.get(), content.location, QStringLiteral("page@qmx80net"));
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(related.get()), "start", "<page@qmx80net>");
    g_mime_multipart_add(related.get(), GMIME_OBJECT(page.get()));

    int n = 0;
    for (const MhtAttachment& a : content.attachments) {
        auto part = makePart(a.mimeType, a.data, GMIME_CONTENT_ENCODING_BASE64);
        const QString location = base.resolved(QUrl(a.location)).toString(QUrl::FullyEncoded);
        setAddress(part.get(), location, QStringLiteral("part%1@qmx80net").arg(++n));
        g_mime_multipart_add(related.get(), GMIME_OBJECT(part.get()));
    }

    GObjectPtr<GMimeMessage> message(g_mime_message_new(TRUE));
    g_mime_message_set_subject(message.get(), content.subject.toUtf8().constData(), "utf-8");
    g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(related.get()));

    // CR LF line ends: the form MIME prescribes, and the one browsers insist on in an archive.
    GMimeFormatOptions* options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    GObjectPtr<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(GMIME_OBJECT(message.get()), options, out.get());
    g_mime_format_options_free(options);
    return detail::memoryStreamBytes(out.get());
}

QStringList embeddedReferences(const QString& html)
{
    static const QRegularExpression src(QStringLiteral(R"re((?<![\w-])src\s*=\s*(?:"([^"]*)"|'([^']*)'))re"),
                                        QRegularExpression::CaseInsensitiveOption);
    QStringList references;
    for (auto it = src.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        const QString value = match.captured(1).isNull() ? match.captured(2) : match.captured(1);
        const QUrl url(value);
        if (value.isEmpty() || !url.scheme().isEmpty() || value.startsWith(u'/') || value.startsWith(u'#')) {
            continue;
        }
        if (!references.contains(value)) {
            references.append(value);
        }
    }
    return references;
}

} // namespace qmx::manual
