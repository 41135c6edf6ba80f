#include "libre/libre_settings.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace verz {

std::optional<QUrl> ReadLibreUrl(const QString &text, QString *error)
{
    QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty() ||
        url.hasQuery() || url.hasFragment()) {
        *error = QStringLiteral("--libretranslate: expected an http:// or https:// address, "
                                "such as https://translate.example.org: %1")
                     .arg(text);
        return std::nullopt;
    }
    return url;
}

std::optional<QByteArray> ReadLibreKeyFile(const QString &path, QString *error, QString *warning)
{
    // Opened without blocking and judged by what was opened: a FIFO, a device
    // or a folder would make the start wait for ever or read what no key is.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        *error = QStringLiteral("--libretranslate-key-file: cannot read %1: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        *error = QStringLiteral("--libretranslate-key-file: %1 is not a regular file").arg(path);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        *error = QStringLiteral("--libretranslate-key-file: cannot read %1: %2")
                     .arg(path, file.errorString());
        return std::nullopt;
    }
    // A key is a short line; anything far longer is not one.
    const QByteArray key = file.read(4096).trimmed();
    if (key.isEmpty() || key.contains('\n') || !file.atEnd()) {
        *error = QStringLiteral("--libretranslate-key-file: %1 %2")
                     .arg(path, key.isEmpty() ? QStringLiteral("is empty")
                                              : QStringLiteral("holds more than one line"));
        return std::nullopt;
    }
    const QFileDevice::Permissions othersRead = QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (QFileInfo(path).permissions() & othersRead)
        *warning = QStringLiteral("warning: the LibreTranslate key file %1 can be read by other "
                                  "users (chmod 600 %1)")
                       .arg(path);
    return key;
}

std::optional<QSet<QString>> ReadLibrePairs(const QString &text, const QSet<QString> &offered,
                                            QString *error)
{
    if (text.trimmed() == u"all")
        return QSet<QString>();
    QSet<QString> pairs;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString pair = item.trimmed();
        if (!offered.contains(pair)) {
            *error = QStringLiteral("--libretranslate-pairs: not one of the pairs offered: %1 "
                                    "(give pairs such as de|fr,fr|de, or all)")
                         .arg(pair);
            return std::nullopt;
        }
        pairs.insert(pair);
    }
    if (pairs.isEmpty()) {
        *error = QStringLiteral("--libretranslate-pairs: no pair given (give pairs such as "
                                "de|fr,fr|de, or all)");
        return std::nullopt;
    }
    return pairs;
}

}  // namespace verz
