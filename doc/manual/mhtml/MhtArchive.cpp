#include "MhtArchive.h"

#include "GMimeSupport.h"

#include <QRegularExpression>

namespace qmx::manual {

using detail::GObjectPtr;

namespace {

QString fromGMime(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

/// A Content-ID as written may keep its angle brackets, depending on how it was parsed.
QString bareContentId(QString id)
{
    id = id.trimmed();
    if (id.startsWith(u'<') && id.endsWith(u'>')) {
        id = id.mid(1, id.size() - 2);
    }
    return id;
}

bool isHtml(const QString& mimeType)
{
    return mimeType == QLatin1String("text/html") || mimeType == QLatin1String("application/xhtml+xml");
}

void collectLeaves(GMimeObject* object, std::vector<MhtResource>& out);

void collectPart(GMimePart* part, std::vector<MhtResource>& out)
{
    auto* object = GMIME_OBJECT(part);
    MhtResource resource;
    GMimeContentType* type = g_mime_object_get_content_type(object);
    if (type) {
        char* mimeType = g_mime_content_type_get_mime_type(type);
        resource.mimeType = fromGMime(mimeType).toLower();
        g_free(mimeType);
        resource.charset = fromGMime(g_mime_content_type_get_parameter(type, "charset")).trimmed();
    }
    resource.location = fromGMime(g_mime_part_get_content_location(part)).trimmed();
    resource.contentId = bareContentId(fromGMime(g_mime_object_get_content_id(object)));
    if (GMimeDataWrapper* content = g_mime_part_get_content(part)) {
        // Writing the wrapper out removes the transfer encoding (base64, quoted-printable, uuencode).
        GObjectPtr<GMimeStream> decoded(g_mime_stream_mem_new());
        g_mime_data_wrapper_write_to_stream(content, decoded.get());
        resource.data = detail::memoryStreamBytes(decoded.get());
    }
    out.push_back(std::move(resource));
}

void collectLeaves(GMimeObject* object, std::vector<MhtResource>& out)
{
    if (GMIME_IS_MULTIPART(object)) {
        auto* multipart = GMIME_MULTIPART(object);
        const int count = g_mime_multipart_get_count(multipart);
        for (int i = 0; i < count; ++i) {
            collectLeaves(g_mime_multipart_get_part(multipart, i), out);
        }
    } else if (GMIME_IS_MESSAGE_PART(object)) {
        if (GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object))) {
            if (GMimeObject* body = g_mime_message_get_mime_part(inner)) {
                collectLeaves(body, out);
            }
        }
    } else if (GMIME_IS_PART(object)) {
        collectPart(GMIME_PART(object), out);
    }
}

/// The charset a page names in its <meta> element, for parts whose header names none.
QString metaCharset(const QByteArray& html)
{
    static const QRegularExpression pattern(QStringLiteral(R"(<meta[^>]*charset\s*=\s*["']?\s*([A-Za-z0-9._:-]+))"),
                                            QRegularExpression::CaseInsensitiveOption);
    // The declaration must come early in a page; only ASCII matters for finding it.
    const auto match = pattern.match(QString::fromLatin1(html.left(4096)));
    return match.hasMatch() ? match.captured(1) : QString();
}

/// A reference made absolute against the page's address, without its fragment.
QUrl resolvedAgainst(const QUrl& base, const QUrl& reference)
{
    QUrl url = (reference.isRelative() && !base.isEmpty()) ? base.resolved(reference) : reference;
    return url.adjusted(QUrl::NormalizePathSegments | QUrl::RemoveFragment);
}

bool sameAddress(const QUrl& a, const QUrl& b)
{
    if (a == b) {
        return true;
    }
    // Pages saved on Windows spell the same file: address in differing letter case.
    return a.isLocalFile() && b.isLocalFile() && a.toLocalFile().compare(b.toLocalFile(), Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<MhtArchive> MhtArchive::parse(QByteArrayView bytes, MhtError* error)
{
    const auto fail = [error](MhtError reason) -> std::optional<MhtArchive> {
        if (error) {
            *error = reason;
        }
        return std::nullopt;
    };
    detail::ensureGMimeStarted();

    GObjectPtr<GMimeStream> stream(bytes.isEmpty() ? g_mime_stream_mem_new()
                                                   : g_mime_stream_mem_new_with_buffer(
                                                         bytes.data(), static_cast<size_t>(bytes.size())));
    GObjectPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    GObjectPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
    GMimeObject* body = message ? g_mime_message_get_mime_part(message.get()) : nullptr;
    // A file without a Content-Type header (a plain HTML or text file) is not an archive, even
    // though the lenient parser makes a message of it.
    if (!body || !g_mime_object_get_header(body, "Content-Type")) {
        return fail(MhtError::NotMime);
    }

    MhtArchive archive;
    archive.m_subject = fromGMime(g_mime_message_get_subject(message.get()));
    collectLeaves(body, archive.m_resources);
    if (archive.m_resources.empty()) {
        return fail(MhtError::NoParts);
    }

    // The root: the part the multipart/related "start" parameter names, else the first page.
    std::optional<std::size_t> root;
    if (GMIME_IS_MULTIPART(body)) {
        const QString start =
            bareContentId(fromGMime(g_mime_content_type_get_parameter(g_mime_object_get_content_type(body), "start")));
        for (std::size_t i = 0; !start.isEmpty() && i < archive.m_resources.size(); ++i) {
            if (archive.m_resources[i].contentId == start) {
                root = i;
                break;
            }
        }
    }
    for (std::size_t i = 0; !root && i < archive.m_resources.size(); ++i) {
        if (isHtml(archive.m_resources[i].mimeType)) {
            root = i;
        }
    }
    if (!root || !isHtml(archive.m_resources[*root].mimeType)) {
        return fail(MhtError::NoHtml);
    }
    archive.m_root = *root;
    return archive;
}

QString MhtArchive::rootHtml() const
{
    const MhtResource& page = root();
    return decodeText(page.data, page.charset.isEmpty() ? metaCharset(page.data) : page.charset);
}

QUrl MhtArchive::baseUrl() const
{
    return root().location.isEmpty() ? QUrl() : QUrl(root().location);
}

const MhtResource* MhtArchive::find(const QUrl& reference) const
{
    if (reference.scheme().compare(QLatin1String("cid"), Qt::CaseInsensitive) == 0) {
        const QString id = bareContentId(reference.path(QUrl::FullyDecoded));
        for (const MhtResource& resource : m_resources) {
            if (!resource.contentId.isEmpty() && resource.contentId == id) {
                return &resource;
            }
        }
        return nullptr;
    }
    const QUrl base = baseUrl();
    const QUrl target = resolvedAgainst(base, reference);
    for (const MhtResource& resource : m_resources) {
        if (!resource.location.isEmpty() && sameAddress(resolvedAgainst(base, QUrl(resource.location)), target)) {
            return &resource;
        }
    }
    return nullptr;
}

QString decodeText(const QByteArray& data, const QString& charset)
{
    const QByteArray name = charset.trimmed().toLatin1();
    if (name.isEmpty() || name.compare("utf-8", Qt::CaseInsensitive) == 0
        || name.compare("utf8", Qt::CaseInsensitive) == 0) {
        return QString::fromUtf8(data);
    }
    detail::ensureGMimeStarted();
    // GMime's charset filter knows the names mail and web pages use (windows-1250, iso-8859-2,
    // cp852 ...) and maps them onto the system's iconv.
    GObjectPtr<GMimeFilter> filter(g_mime_filter_charset_new(name.constData(), "UTF-8"));
    if (!filter) {
        return QString::fromUtf8(data);
    }
    GObjectPtr<GMimeStream> out(g_mime_stream_mem_new());
    GObjectPtr<GMimeStream> converter(g_mime_stream_filter_new(out.get()));
    g_mime_stream_filter_add(GMIME_STREAM_FILTER(converter.get()), filter.get());
    g_mime_stream_write(converter.get(), data.constData(), static_cast<size_t>(data.size()));
    g_mime_stream_flush(converter.get());
    return QString::fromUtf8(detail::memoryStreamBytes(out.get()));
}

} // namespace qmx::manual
