#include "docs/multipart_form.h"

#include <QUrl>

namespace verz {

namespace {

// RFC 2046 allows 70 characters; more is a sign of a broken client.
constexpr qsizetype kMaxBoundary = 70;
constexpr qsizetype kMaxPartHead = 8 * 1024;

// The value of parameter `name` in a header value such as
// `form-data; name="file"; filename="a.odt"`, unquoted; null when absent.
QByteArray Parameter(QByteArrayView value, QByteArrayView name)
{
    qsizetype at = 0;
    while (at < value.size()) {
        const qsizetype semi = value.indexOf(';', at);
        if (semi < 0)
            return {};
        at = semi + 1;
        while (at < value.size() && (value[at] == ' ' || value[at] == '\t'))
            ++at;
        const qsizetype equals = value.indexOf('=', at);
        if (equals < 0)
            return {};
        if (value.sliced(at, equals - at).trimmed().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        qsizetype start = equals + 1;
        if (start < value.size() && value[start] == '"') {
            QByteArray out("");
            for (qsizetype i = start + 1; i < value.size(); ++i) {
                if (value[i] == '\\' && i + 1 < value.size())
                    out += value[++i];
                else if (value[i] == '"')
                    return out;
                else
                    out += value[i];
            }
            return {};  // an unclosed quote
        }
        qsizetype end = value.indexOf(';', start);
        if (end < 0)
            end = value.size();
        QByteArray out = value.sliced(start, end - start).trimmed().toByteArray();
        return out.isNull() ? QByteArray("") : out;
    }
    return {};
}

// RFC 5987 ext-value: charset'language'percent-encoded.
QString ExtendedValue(const QByteArray &value)
{
    const qsizetype first = value.indexOf('\'');
    const qsizetype second = first < 0 ? -1 : value.indexOf('\'', first + 1);
    if (second < 0 || value.first(first).compare("UTF-8", Qt::CaseInsensitive) != 0)
        return {};
    return QString::fromUtf8(QByteArray::fromPercentEncoding(value.sliced(second + 1)));
}

struct PartHead {
    QByteArray disposition;
    QByteArray contentType;
};

bool ReadPartHead(QByteArrayView head, PartHead *out)
{
    qsizetype at = 0;
    while (at < head.size()) {
        qsizetype end = head.indexOf("\r\n", at);
        if (end < 0)
            end = head.size();
        const QByteArrayView line = head.sliced(at, end - at);
        at = end + 2;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return false;
        const QByteArrayView field = line.first(colon).trimmed();
        const QByteArray value = line.sliced(colon + 1).trimmed().toByteArray();
        if (field.compare("Content-Disposition", Qt::CaseInsensitive) == 0)
            out->disposition = value;
        else if (field.compare("Content-Type", Qt::CaseInsensitive) == 0)
            out->contentType = value;
    }
    return out->disposition.startsWith("form-data");
}

}  // namespace

const FormPart *MultipartForm::find(QByteArrayView name) const
{
    for (const FormPart &part : parts)
        if (part.name == name)
            return &part;
    return nullptr;
}

QByteArray MultipartBoundary(QByteArrayView contentType)
{
    QByteArray boundary = Parameter(contentType, "boundary");
    if (boundary.isEmpty() || boundary.size() > kMaxBoundary || boundary.contains('\r') ||
        boundary.contains('\n'))
        return {};
    return boundary;
}

std::variant<MultipartForm, FormError> ParseMultipartForm(QByteArrayView contentType,
                                                          QByteArrayView body)
{
    const qsizetype semi = contentType.indexOf(';');
    const QByteArrayView type = (semi < 0 ? contentType : contentType.first(semi)).trimmed();
    if (type.compare("multipart/form-data", Qt::CaseInsensitive) != 0)
        return FormError::NotMultipart;
    const QByteArray boundary = MultipartBoundary(contentType);
    if (boundary.isEmpty())
        return FormError::NoBoundary;

    const QByteArray delimiter = "\r\n--" + boundary;
    // The first delimiter may open the body without the line end before it.
    qsizetype at;
    if (body.startsWith(QByteArrayView(delimiter).sliced(2)))
        at = delimiter.size() - 2;
    else {
        at = body.indexOf(delimiter);
        if (at < 0)
            return FormError::Truncated;
        at += delimiter.size();
    }
    MultipartForm form;
    for (;;) {
        // After a delimiter: "--" closes the body, CRLF opens a part.
        if (body.sliced(at).startsWith("--"))
            return form;
        while (at < body.size() && (body[at] == ' ' || body[at] == '\t'))
            ++at;
        if (!body.sliced(at).startsWith("\r\n"))
            return body.size() - at < 2 ? FormError::Truncated : FormError::Malformed;
        at += 2;
        const qsizetype headEnd = body.indexOf("\r\n\r\n", at);
        const qsizetype anyNext = body.indexOf(delimiter, at);
        if (headEnd < 0 || (anyNext >= 0 && headEnd > anyNext))
            return anyNext < 0 ? FormError::Truncated : FormError::Malformed;
        PartHead head;
        if (headEnd - at > kMaxPartHead || !ReadPartHead(body.sliced(at, headEnd - at), &head))
            return FormError::Malformed;
        // The part's own bytes start after the blank line, and may start with
        // what looks like a delimiter once the head's line end is counted.
        const qsizetype next = body.indexOf(delimiter, headEnd + 4);
        if (next < 0)
            return FormError::Truncated;
        FormPart part;
        part.name = Parameter(head.disposition, "name");
        if (part.name.isNull())
            return FormError::Malformed;
        const QByteArray extended = Parameter(head.disposition, "filename*");
        const QByteArray plain = Parameter(head.disposition, "filename");
        part.isFile = !extended.isNull() || !plain.isNull();
        part.fileName = extended.isNull() ? QString::fromUtf8(plain) : ExtendedValue(extended);
        part.contentType = head.contentType;
        part.data = body.sliced(headEnd + 4, next - headEnd - 4);
        if (form.find(part.name))
            return FormError::DuplicateField;
        form.parts.append(part);
        at = next + delimiter.size();
    }
}

}  // namespace verz
