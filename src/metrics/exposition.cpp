#include "metrics/exposition.h"

#include <QLocale>

#include <cmath>

namespace verz::metrics {

namespace {

QByteArray EscapedLabelValue(const QString &value)
{
    QByteArray out;
    const QByteArray utf8 = value.toUtf8();
    out.reserve(utf8.size());
    for (const char c : utf8) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

}  // namespace

QByteArray Exposition::Number(double value)
{
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("+Inf") : QByteArrayLiteral("-Inf");
    if (std::isnan(value))
        return QByteArrayLiteral("NaN");
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

void Exposition::family(QByteArrayView name, QByteArrayView help, QByteArrayView type)
{
    // HELP text escapes only backslash and line end; ours has neither.
    text_ += "# HELP " + name.toByteArray() + ' ' + help.toByteArray() + '\n';
    text_ += "# TYPE " + name.toByteArray() + ' ' + type.toByteArray() + '\n';
}

void Exposition::sample(QByteArrayView name, const Labels &labels, double value)
{
    text_ += name.toByteArray();
    if (!labels.isEmpty()) {
        text_ += '{';
        for (qsizetype i = 0; i < labels.size(); ++i) {
            if (i > 0)
                text_ += ',';
            text_ += labels.at(i).first + "=\"" + EscapedLabelValue(labels.at(i).second) + '"';
        }
        text_ += '}';
    }
    text_ += ' ' + Number(value) + '\n';
}

}  // namespace verz::metrics
