#include "dict/dictd_index.h"

#include <algorithm>

namespace verz {

namespace {

int DigitValue(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Ten digits are 60 bits: more than any data file, and no overflow.
constexpr qsizetype kMaxDigits = 10;

}  // namespace

// "headword TAB offset TAB length", maybe a fourth field (the headword as
// written) after; nullopt for anything else.
std::optional<DictdIndex::Fields> DictdIndex::SplitFields(QByteArrayView line)
{
    const qsizetype firstTab = line.indexOf('\t');
    const qsizetype secondTab = firstTab < 0 ? -1 : line.indexOf('\t', firstTab + 1);
    if (secondTab < 0)
        return std::nullopt;
    qsizetype lengthEnd = line.indexOf('\t', secondTab + 1);
    if (lengthEnd < 0)
        lengthEnd = line.size();
    const qint64 offset = DecodeNumber(line.sliced(firstTab + 1, secondTab - firstTab - 1));
    const qint64 length = DecodeNumber(line.sliced(secondTab + 1, lengthEnd - secondTab - 1));
    if (offset < 0 || length < 0)
        return std::nullopt;
    return Fields{line.first(firstTab), offset, length};
}

qint64 DictdIndex::DecodeNumber(QByteArrayView digits)
{
    if (digits.isEmpty() || digits.size() > kMaxDigits)
        return -1;
    qint64 value = 0;
    for (const char c : digits) {
        const int digit = DigitValue(c);
        if (digit < 0)
            return -1;
        value = value * 64 + digit;
    }
    return value;
}

std::unique_ptr<DictdIndex> DictdIndex::Open(const QString &path, qint64 dataSize)
{
    std::unique_ptr<DictdIndex> index(new DictdIndex);
    index->file_.setFileName(path);
    if (!index->file_.open(QIODevice::ReadOnly))
        return nullptr;
    index->size_ = index->file_.size();
    if (index->size_ == 0 || !index->validate(dataSize))
        return nullptr;
    return index;
}

DictdIndex::~DictdIndex() = default;

bool DictdIndex::validate(qint64 dataSize)
{
    // In large blocks, each line looked at in place: line by line reads
    // take several times as long on the half-million lines of the largest.
    constexpr qint64 kBlock = 1 << 20;
    QByteArray previous;
    QByteArray pending;  // a line cut by the end of the last block
    bool lastBlock = false;
    while (!lastBlock) {
        QByteArray block = pending + file_.read(kBlock);
        lastBlock = file_.atEnd();
        if (!lastBlock && !block.contains('\n'))
            return false;  // a line a megabyte long is no index line
        qsizetype start = 0;
        for (;;) {
            qsizetype end = block.indexOf('\n', start);
            if (end < 0) {
                if (!lastBlock || start == block.size())
                    break;
                end = block.size();
            }
            const std::optional<Fields> fields =
                SplitFields(QByteArrayView(block).sliced(start, end - start));
            if (!fields || fields->offset + fields->length > dataSize || fields->key < previous)
                return false;
            previous = fields->key.toByteArray();
            start = end + 1;
        }
        pending = start < block.size() ? block.mid(start) : QByteArray();
    }
    return true;
}

DictdIndex::Line DictdIndex::lineAt(qint64 at, qint64 floor)
{
    // Back to the line start, a block at a time; then on to its end.
    constexpr qint64 kBlock = 1024;
    qint64 start = at;
    while (start > floor) {
        const qint64 from = std::max(floor, start - kBlock);
        if (!file_.seek(from))
            return {at, size_, {}};
        const QByteArray block = file_.read(start - from);
        const qsizetype newline = block.lastIndexOf('\n');
        if (newline >= 0) {
            start = from + newline + 1;
            break;
        }
        start = from;
    }
    Line line{start, size_, {}};
    if (!file_.seek(start))
        return line;
    line.text = file_.readLine();
    line.next = start + line.text.size();
    if (line.text.endsWith('\n'))
        line.text.chop(1);
    return line;
}

QList<EntrySpan> DictdIndex::find(QByteArrayView headword)
{
    // The first line whose key is not below the headword; lo is always a
    // line start.
    qint64 lo = 0;
    qint64 hi = size_;
    while (lo < hi) {
        const Line line = lineAt(lo + (hi - lo) / 2, lo);
        const std::optional<Fields> fields = SplitFields(line.text);
        if (!fields)
            return {};  // the file changed since it was checked
        if (fields->key < headword)
            lo = line.next;
        else
            hi = line.start;
    }
    QList<EntrySpan> spans;
    for (qint64 at = lo; at < size_;) {
        const Line line = lineAt(at, at);
        const std::optional<Fields> fields = SplitFields(line.text);
        if (!fields || fields->key != headword)
            break;
        spans.push_back({fields->offset, fields->length});
        at = line.next;
    }
    return spans;
}

}  // namespace verz
