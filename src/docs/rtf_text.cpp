#include "docs/rtf_text.h"

#include <QList>
#include <QString>

#include <array>

namespace verz {

namespace {

// Code page 1252's 0x80..0x9f; 0 where it has no character.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};

char32_t FromCodePage(int codePage, quint8 byte)
{
    if (byte >= 0x80 && byte < 0xa0 && codePage != 28591) {
        const char16_t c = kCp1252High[byte - 0x80];
        return c ? c : 0xfffd;
    }
    return byte;  // 1252 and Latin-1 agree from 0xa0 on
}

int ToCp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xa0 && c <= 0xff))
        return int(c);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] && kCp1252High[i] == c)
            return 0x80 + i;
    }
    return -1;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendUtf8(QByteArray &out, char32_t c)
{
    out += QString::fromUcs4(&c, 1).toUtf8();
}

// A control word at rtf[at] (the backslash): its letters, its number and where it ends,
// the one space that delimits it included.
struct ControlWord {
    QByteArrayView name;
    bool hasNumber = false;
    long long number = 0;
    qsizetype end = 0;
};

ControlWord ReadControlWord(QByteArrayView rtf, qsizetype at)
{
    ControlWord word;
    qsizetype i = at + 1;
    while (i < rtf.size() && IsLetter(rtf[i]) && i - at < 32)
        ++i;
    word.name = rtf.sliced(at + 1, i - at - 1);
    bool negative = false;
    if (i < rtf.size() && rtf[i] == '-') {
        negative = true;
        ++i;
    }
    const qsizetype digits = i;
    while (i < rtf.size() && IsDigit(rtf[i]) && i - digits < 10) {
        word.number = word.number * 10 + (rtf[i] - '0');
        ++i;
    }
    word.hasNumber = i > digits;
    if (negative)
        word.number = -word.number;
    if (i < rtf.size() && rtf[i] == ' ')
        ++i;
    word.end = i;
    return word;
}

// Skips one \ucN substitute after a \uN: a \'xx, a control word or symbol, or one character.
qsizetype SkipSubstitute(QByteArrayView rtf, qsizetype i)
{
    if (i >= rtf.size() || rtf[i] == '{' || rtf[i] == '}')
        return i;
    if (rtf[i] != '\\')
        return i + 1;
    if (i + 3 < rtf.size() + 0 && rtf[i + 1] == '\'')
        return qMin(rtf.size(), i + 4);
    if (i + 1 < rtf.size() && IsLetter(rtf[i + 1]))
        return ReadControlWord(rtf, i).end;
    return qMin(rtf.size(), i + 2);
}

}  // namespace

QByteArray RtfForConverter(QByteArrayView rtf)
{
    QByteArray out;
    out.reserve(rtf.size());
    int codePage = 1252;
    int substitutes = 1;
    qsizetype i = 0;
    while (i < rtf.size()) {
        const char c = rtf[i];
        if (c != '\\') {
            const quint8 byte = quint8(c);
            if (byte < 0x80) {
                out += c;
                ++i;
                continue;
            }
            // A raw byte past ASCII: kept when it starts sound UTF-8, else read in the code page.
            qsizetype length = byte >= 0xf0 ? 4 : byte >= 0xe0 ? 3 : byte >= 0xc0 ? 2 : 1;
            const QByteArrayView piece = rtf.sliced(i, qMin(length, rtf.size() - i));
            const QString decoded = QString::fromUtf8(piece);
            if (length > 1 && piece.size() == length && !decoded.contains(QChar(0xfffd))) {
                out += piece;
                i += length;
            } else {
                AppendUtf8(out, FromCodePage(codePage, byte));
                ++i;
            }
            continue;
        }
        if (i + 1 >= rtf.size()) {
            out += c;
            ++i;
            continue;
        }
        const char next = rtf[i + 1];
        if (next == '\'' && i + 3 < rtf.size() + 0 && HexValue(rtf[i + 2]) >= 0 &&
            HexValue(rtf[i + 3]) >= 0) {
            const quint8 byte = quint8(HexValue(rtf[i + 2]) * 16 + HexValue(rtf[i + 3]));
            if (byte < 0x80)
                out += rtf.sliced(i, 4);  // markup characters stay escaped
            else
                AppendUtf8(out, FromCodePage(codePage, byte));
            i += 4;
            continue;
        }
        if (!IsLetter(next)) {
            out += rtf.sliced(i, 2);
            i += 2;
            continue;
        }
        const ControlWord word = ReadControlWord(rtf, i);
        if (word.name == "ansicpg" && word.hasNumber) {
            codePage = int(word.number);
        } else if (word.name == "uc" && word.hasNumber) {
            substitutes = int(qBound(0LL, word.number, 8LL));
        } else if (word.name == "u" && word.hasNumber) {
            char32_t code = char32_t(word.number < 0 ? word.number + 65536 : word.number);
            qsizetype after = word.end;
            for (int s = 0; s < substitutes; ++s)
                after = SkipSubstitute(rtf, after);
            // A pair of surrogates comes as two \u words.
            if (code >= 0xd800 && code < 0xdc00 && after + 2 < rtf.size() && rtf[after] == '\\' &&
                rtf[after + 1] == 'u') {
                const ControlWord low = ReadControlWord(rtf, after);
                const char32_t lowCode = char32_t(low.number < 0 ? low.number + 65536 : low.number);
                if (low.name == "u" && lowCode >= 0xdc00 && lowCode < 0xe000) {
                    code = 0x10000 + ((code - 0xd800) << 10) + (lowCode - 0xdc00);
                    after = low.end;
                    for (int s = 0; s < substitutes; ++s)
                        after = SkipSubstitute(rtf, after);
                }
            }
            if (code >= 0xd800 && code < 0xe000)
                code = 0xfffd;
            if (code < 0x80)
                out += char(code);
            else
                AppendUtf8(out, code);
            i = after;
            continue;
        } else if (word.name == "bin" && word.hasNumber && word.number > 0) {
            // Binary data is copied as it is, never read as text.
            const qsizetype end = qMin(rtf.size(), word.end + qsizetype(word.number));
            out += rtf.sliced(i, end - i);
            i = end;
            continue;
        }
        out += rtf.sliced(i, word.end - i);
        i = word.end;
    }
    return out;
}

QByteArray RtfFromConverter(QByteArrayView rtf)
{
    QByteArray out;
    out.reserve(rtf.size() + rtf.size() / 8);
    qsizetype i = 0;
    while (i < rtf.size()) {
        const char c = rtf[i];
        if (c == '\\' && i + 4 < rtf.size() && rtf.sliced(i, 4) == "\\bin") {
            const ControlWord word = ReadControlWord(rtf, i);
            if (word.name == "bin" && word.hasNumber && word.number > 0) {
                const qsizetype end = qMin(rtf.size(), word.end + qsizetype(word.number));
                out += rtf.sliced(i, end - i);
                i = end;
                continue;
            }
        }
        if (quint8(c) < 0x80) {
            out += c;
            ++i;
            continue;
        }
        const quint8 byte = quint8(c);
        const qsizetype length = byte >= 0xf0 ? 4 : byte >= 0xe0 ? 3 : byte >= 0xc0 ? 2 : 1;
        const QByteArrayView piece = rtf.sliced(i, qMin(length, rtf.size() - i));
        const QString decoded = QString::fromUtf8(piece);
        char32_t code = 0xfffd;
        if (length > 1 && piece.size() == length && !decoded.contains(QChar(0xfffd))) {
            code = decoded.toUcs4().value(0, 0xfffd);
            i += length;
        } else {
            code = FromCodePage(1252, byte);
            ++i;
        }
        const int fallback = ToCp1252(code);
        const QString units = QString::fromUcs4(&code, 1);
        for (const QChar unit : units) {
            // RTF's number is a signed 16-bit one.
            const int n = unit.unicode() > 32767 ? int(unit.unicode()) - 65536 : unit.unicode();
            out += "\\u" + QByteArray::number(n);
            if (fallback >= 0 && units.size() == 1)
                out += "\\'" + QByteArray::number(fallback, 16).rightJustified(2, '0');
            else
                out += '?';
        }
    }
    return out;
}

}  // namespace verz
