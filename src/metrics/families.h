#pragma once

#include "metrics/exposition.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QStringList>

#include <vector>

namespace verz::metrics {

// A counter for each combination of label values seen. Callers pass values
// from a closed set (routes, statuses, known pairs): every one seen is kept.
class CounterFamily {
public:
    CounterFamily(QByteArray name, QByteArray help, QList<QByteArray> labelNames);
    void add(const QStringList &values, double amount = 1);
    double value(const QStringList &values) const { return values_.value(values); }
    void writeTo(Exposition &out) const;

private:
    QByteArray name_;
    QByteArray help_;
    QList<QByteArray> labelNames_;
    QMap<QStringList, double> values_;
};

// A histogram for each combination of label values seen, over fixed bucket
// bounds (the +Inf bucket is added).
class HistogramFamily {
public:
    HistogramFamily(QByteArray name, QByteArray help, QList<QByteArray> labelNames,
                    std::vector<double> bounds);
    void observe(const QStringList &values, double value);
    void writeTo(Exposition &out) const;

private:
    struct Series {
        std::vector<quint64> buckets;  // not cumulative; the last one is +Inf
        double sum = 0;
        quint64 count = 0;
    };
    Labels labelsFor(const QStringList &values) const;

    QByteArray name_;
    QByteArray help_;
    QList<QByteArray> labelNames_;
    std::vector<double> bounds_;
    QMap<QStringList, Series> series_;
};

}  // namespace verz::metrics
