#include "metrics/families.h"

#include <algorithm>
#include <limits>

namespace verz::metrics {

CounterFamily::CounterFamily(QByteArray name, QByteArray help, QList<QByteArray> labelNames)
    : name_(std::move(name)), help_(std::move(help)), labelNames_(std::move(labelNames))
{
}

void CounterFamily::add(const QStringList &values, double amount)
{
    values_[values] += amount;
}

void CounterFamily::writeTo(Exposition &out) const
{
    out.family(name_, help_, "counter");
    if (labelNames_.isEmpty() && values_.isEmpty())
        out.sample(name_, {}, 0);
    for (auto it = values_.cbegin(); it != values_.cend(); ++it) {
        Labels labels;
        for (qsizetype i = 0; i < labelNames_.size(); ++i)
            labels.append({labelNames_.at(i), it.key().value(i)});
        out.sample(name_, labels, it.value());
    }
}

HistogramFamily::HistogramFamily(QByteArray name, QByteArray help, QList<QByteArray> labelNames,
                                 std::vector<double> bounds)
    : name_(std::move(name)), help_(std::move(help)), labelNames_(std::move(labelNames)),
      bounds_(std::move(bounds))
{
    std::sort(bounds_.begin(), bounds_.end());
}

void HistogramFamily::observe(const QStringList &values, double value)
{
    Series &series = series_[values];
    if (series.buckets.empty())
        series.buckets.assign(bounds_.size() + 1, 0);
    // Bounds are inclusive: a value equal to one counts in its bucket.
    const auto bucket = std::lower_bound(bounds_.begin(), bounds_.end(), value) - bounds_.begin();
    ++series.buckets[size_t(bucket)];
    series.sum += value;
    ++series.count;
}

Labels HistogramFamily::labelsFor(const QStringList &values) const
{
    Labels labels;
    for (qsizetype i = 0; i < labelNames_.size(); ++i)
        labels.append({labelNames_.at(i), values.value(i)});
    return labels;
}

void HistogramFamily::writeTo(Exposition &out) const
{
    out.family(name_, help_, "histogram");
    QMap<QStringList, Series> shown = series_;
    if (labelNames_.isEmpty() && shown.isEmpty())
        shown.insert({}, Series{std::vector<quint64>(bounds_.size() + 1, 0), 0, 0});
    const QByteArray bucketName = name_ + "_bucket";
    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        const Labels labels = labelsFor(it.key());
        quint64 cumulative = 0;
        for (size_t i = 0; i <= bounds_.size(); ++i) {
            cumulative += it.value().buckets[i];
            Labels withBound = labels;
            withBound.append(
                {QByteArrayLiteral("le"),
                 QString::fromLatin1(Exposition::Number(
                     i < bounds_.size() ? bounds_[i] : std::numeric_limits<double>::infinity()))});
            out.sample(bucketName, withBound, double(cumulative));
        }
        out.sample(name_ + "_sum", labels, it.value().sum);
        out.sample(name_ + "_count", labels, double(it.value().count));
    }
}

}  // namespace verz::metrics
