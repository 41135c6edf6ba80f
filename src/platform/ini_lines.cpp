#include "platform/ini_lines.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

namespace verz {

namespace {

// One byte in this many a NUL, or more: no text (UTF-16 of ASCII is one in two).
constexpr qsizetype kMostlyNul = 8;

// A line the reader takes: UTF-8 without NUL. Others are kept, never read.
bool ReadableLine(const QByteArray &line)
{
    if (line.contains('\0'))
        return false;
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder.decode(line);  // decodes only once made a QString
    Q_UNUSED(decoded);
    return !decoder.hasError();
}

// The file as the reader and the writer see it: UTF-8 after its mark.
struct IniText {
    bool readable = true;
    QByteArray mark;
    std::optional<QStringConverter::Encoding> wide;  // UTF-16 or UTF-32, else UTF-8
    QByteArray utf8;
};

IniText DecodeIni(const QByteArray &file)
{
    struct Mark {
        QByteArrayView bytes;
        std::optional<QStringConverter::Encoding> wide;
    };
    // UTF-32's little-endian mark begins with UTF-16's: looked for first.
    const Mark marks[] = {
        {QByteArrayView("\xef\xbb\xbf", 3), std::nullopt},
        {QByteArrayView("\xff\xfe\0\0", 4), QStringConverter::Utf32LE},
        {QByteArrayView("\0\0\xfe\xff", 4), QStringConverter::Utf32BE},
        {QByteArrayView("\xff\xfe", 2), QStringConverter::Utf16LE},
        {QByteArrayView("\xfe\xff", 2), QStringConverter::Utf16BE},
    };
    IniText text;
    text.utf8 = file;
    for (const Mark &mark : marks) {
        if (!file.startsWith(mark.bytes))
            continue;
        text.mark = mark.bytes.toByteArray();
        text.wide = mark.wide;
        text.utf8 = file.sliced(mark.bytes.size());
        break;
    }
    if (text.wide) {
        const qsizetype unit =
            *text.wide == QStringConverter::Utf16LE || *text.wide == QStringConverter::Utf16BE ? 2
                                                                                               : 4;
        QStringDecoder decoder(*text.wide, QStringConverter::Flag::Stateless);
        const QString decoded = decoder.decode(text.utf8);
        text.readable = text.utf8.size() % unit == 0 && !decoder.hasError();
        text.utf8 = decoded.toUtf8();
    }
    // Text in an encoding no mark announced (UTF-16 without its mark) or no
    // text at all is full of NULs; a NUL or two in a damaged line is not that.
    if (text.utf8.contains('\0') && text.utf8.count('\0') * kMostlyNul >= text.utf8.size())
        text.readable = false;
    return text;
}

QByteArray EncodeIni(const IniText &text)
{
    if (!text.wide)
        return text.mark + text.utf8;
    QStringEncoder encoder(*text.wide, QStringConverter::Flag::Stateless);
    const QByteArray encoded = encoder.encode(QString::fromUtf8(text.utf8));
    return text.mark + encoded;
}

struct Line {
    QByteArray text;  // without its line end
    QByteArray end;   // "\n", "\r\n", or nothing on an unfinished last line
    QString section;  // the section it lies in (for a header, its own)
    bool header = false;
    QString key;  // empty unless the line is an entry
    QByteArray rawValue;
};

QList<Line> ParseLines(const QByteArray &file)
{
    QList<Line> lines;
    QString section;
    const QList<QByteArray> texts = file.split('\n');
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i == texts.size() - 1 && texts[i].isEmpty())
            break;  // the end of the last line, not a line
        Line line;
        line.text = texts[i];
        if (i < texts.size() - 1)
            line.end = "\n";
        if (line.text.endsWith('\r')) {
            line.text.chop(1);
            line.end.prepend('\r');
        }
        const QByteArray trimmed = line.text.trimmed();
        if (!ReadableLine(trimmed)) {
            // Kept byte for byte by the writer, skipped by the reader.
        } else if (trimmed.startsWith('[')) {
            const qsizetype close = trimmed.indexOf(']');
            if (close > 0) {  // a header without its "]" is only an unreadable line
                section = QString::fromUtf8(trimmed.mid(1, close - 1).trimmed());
                line.header = true;
            }
        } else if (!trimmed.isEmpty() && !trimmed.startsWith(';') && !trimmed.startsWith('#')) {
            const qsizetype equals = trimmed.indexOf('=');
            if (equals > 0) {
                line.key = QString::fromUtf8(trimmed.first(equals).trimmed());
                line.rawValue = trimmed.mid(equals + 1).trimmed();
            }
        }
        line.section = section;
        lines.append(line);
    }
    return lines;
}

QString DecodeValue(const QByteArray &raw)
{
    if (!raw.startsWith('"')) {
        const qsizetype comment = raw.indexOf(';');
        return QString::fromUtf8(comment < 0 ? raw : raw.first(comment).trimmed());
    }
    QByteArray value;
    for (qsizetype i = 1; i < raw.size() && raw[i] != '"'; ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            const char next = raw[++i];
            value.append(next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next);
        } else {
            value.append(raw[i]);
        }
    }
    return QString::fromUtf8(value);
}

QByteArray EncodeValue(const QString &value)
{
    QByteArray utf8 = value.toUtf8();
    bool plain = utf8 == utf8.trimmed();
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == ';' || c == '\\' || c == ',')
            plain = false;
    }
    if (plain)
        return utf8;
    QByteArray quoted("\"");
    for (const char c : utf8) {
        if (c == '"' || c == '\\')
            quoted.append('\\').append(c);
        else if (c == '\n')
            quoted.append("\\n");
        else if (c == '\r')
            quoted.append("\\r");
        else if (c == '\t')
            quoted.append("\\t");
        else
            quoted.append(c);
    }
    return quoted.append('"');
}

bool Same(const QString &name, const QString &wanted)
{
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

}  // namespace

bool IniReadable(const QByteArray &file)
{
    return DecodeIni(file).readable;
}

std::optional<QString> IniValue(const QByteArray &file, const QString &section, const QString &key)
{
    const IniText text = DecodeIni(file);
    if (!text.readable)
        return std::nullopt;
    std::optional<QString> found;
    for (const Line &line : ParseLines(text.utf8)) {
        if (!line.header && Same(line.section, section) && Same(line.key, key))
            found = DecodeValue(line.rawValue);
    }
    return found;
}

QByteArray WithIniValue(const QByteArray &file, const QString &section, const QString &key,
                        const QString &value)
{
    IniText text = DecodeIni(file);
    if (!text.readable)
        return file;
    QList<Line> lines = ParseLines(text.utf8);
    const QByteArray entry = key.toUtf8() + '=' + EncodeValue(value);
    qsizetype existing = -1;
    qsizetype endOfSection = -1;  // the line after which a new entry goes
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!Same(lines[i].section, section))
            continue;
        if (lines[i].header || !lines[i].key.isEmpty())
            endOfSection = i;
        if (!lines[i].header && Same(lines[i].key, key))
            existing = i;
    }
    if (existing >= 0) {
        lines[existing].text = entry;
    } else if (endOfSection >= 0) {
        Line added;
        added.text = entry;
        lines.insert(endOfSection + 1, added);
    } else {
        if (!lines.isEmpty() && !lines.last().text.trimmed().isEmpty())
            lines.append(Line{});
        Line header;
        header.text = '[' + section.toUtf8() + ']';
        Line added;
        added.text = entry;
        lines.append(header);
        lines.append(added);
    }
    // Added lines, and an unfinished last one that now has a successor, end
    // as the file's first line does.
    const QByteArray end = lines.first().end.isEmpty() ? QByteArray("\n") : lines.first().end;
    text.utf8.clear();
    for (const Line &line : lines)
        text.utf8.append(line.text).append(line.end.isEmpty() ? end : line.end);
    return EncodeIni(text);
}

}  // namespace verz
