#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <utility>

namespace verz::metrics {

// Label names with their values, in the order they are written.
using Labels = QList<std::pair<QByteArray, QString>>;

// What a scrape expects in Content-Type.
inline constexpr char kContentType[] = "text/plain; version=0.0.4; charset=utf-8";

// Writes the text exposition format: each family once with its HELP and TYPE
// lines, then its samples. Label values are escaped, so text from a request
// cannot break a line or forge a sample.
class Exposition {
public:
    // type: counter, gauge or histogram.
    void family(QByteArrayView name, QByteArrayView help, QByteArrayView type);
    void sample(QByteArrayView name, const Labels &labels, double value);
    const QByteArray &text() const { return text_; }

    // Shortest form that reads back the same; +Inf for infinity.
    static QByteArray Number(double value);

private:
    QByteArray text_;
};

}  // namespace verz::metrics
