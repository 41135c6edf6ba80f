#include "platform/ini_lines.h"

#include <QList>

namespace verz {

namespace {

struct Line {
    QByteArray text;  // without its line end
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
        if (line.text.endsWith('\r'))
            line.text.chop(1);
        const QByteArray trimmed = line.text.trimmed();
        if (trimmed.startsWith('[')) {
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

}  // namespace

std::optional<QString> IniValue(const QByteArray &file, const QString &section, const QString &key)
{
    std::optional<QString> found;
    for (const Line &line : ParseLines(file)) {
        if (!line.header && line.section == section && line.key == key)
            found = DecodeValue(line.rawValue);
    }
    return found;
}

QByteArray WithIniValue(const QByteArray &file, const QString &section, const QString &key,
                        const QString &value)
{
    QList<Line> lines = ParseLines(file);
    const QByteArray entry = key.toUtf8() + '=' + EncodeValue(value);
    qsizetype existing = -1;
    qsizetype endOfSection = -1;  // the line after which a new entry goes
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].section != section)
            continue;
        if (lines[i].header || !lines[i].key.isEmpty())
            endOfSection = i;
        if (!lines[i].header && lines[i].key == key)
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
    QByteArray out;
    for (const Line &line : lines)
        out.append(line.text).append('\n');
    return out;
}

}  // namespace verz
