#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace verz {

// Where one entry's text lies in the data file.
struct EntrySpan {
    qint64 offset = 0;
    qint64 length = 0;
};

// A dictd index: one line per entry, "headword TAB offset TAB length", the
// numbers written in base 64 (A-Z a-z 0-9 + /, most significant digit
// first), the lines sorted bytewise by headword. Nothing of it is held in
// memory: a look-up is a binary search reading a few lines of the file
// (mapping it instead leaves megabytes of its pages resident after a few
// hundred look-ups, as the kernel maps each page's neighbours too).
class DictdIndex {
public:
    // nullptr when the file is missing or any line is not such a line, is out
    // of order, or points past dataSize: a search in it could not be trusted.
    static std::unique_ptr<DictdIndex> Open(const QString &path, qint64 dataSize);
    ~DictdIndex();

    // Every entry filed under the headword, in the index's order.
    QList<EntrySpan> find(QByteArrayView headword);

    // "bWIQ" → its value; -1 for an empty or foreign digit or a value too long.
    static qint64 DecodeNumber(QByteArrayView digits);

private:
    struct Line {
        qint64 start = 0;
        qint64 next = 0;  // the next line's start
        QByteArray text;  // without its line end
    };
    struct Fields {
        QByteArrayView key;
        qint64 offset = 0;
        qint64 length = 0;
    };
    static std::optional<Fields> SplitFields(QByteArrayView line);
    DictdIndex() = default;
    bool validate(qint64 dataSize);
    // The line holding byte at, starting no earlier than floor (a line start).
    Line lineAt(qint64 at, qint64 floor);

    QFile file_;
    qint64 size_ = 0;
};

}  // namespace verz
