#include "ocr/bounded_ocr.h"

#include "ocr/ocr_library.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace verz {

namespace {

void WriteAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

// In the child: no Qt, no return. Standard error goes nowhere, since
// Tesseract and leptonica talk there.
[[noreturn]] void RunChild(int out, const QByteArray &bytes, const QByteArray &language,
                           const OcrLimits &limits)
{
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere >= 0) {
        ::dup2(nowhere, STDOUT_FILENO);
        ::dup2(nowhere, STDERR_FILENO);
    }
#ifndef VERZ_SANITIZED
    // A sanitized build reserves terabytes of shadow address space, which no
    // address-space limit leaves room for: there the deadlines alone bound it.
    const rlimit memory{static_cast<rlim_t>(limits.memoryBytes),
                        static_cast<rlim_t>(limits.memoryBytes)};
    ::setrlimit(RLIMIT_AS, &memory);
#endif
    const rlim_t seconds = static_cast<rlim_t>(limits.timeoutMs) / 1000 + 5;
    const rlimit cpu{seconds, seconds};
    ::setrlimit(RLIMIT_CPU, &cpu);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    // One thread: the machine's other cores belong to the rest of the desktop.
    ::setenv("OMP_THREAD_LIMIT", "1", 1);

    std::string text;
    PageReadStatus status = PageReadStatus::OutOfMemory;
    try {
        status = ReadPageText(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size()), language.constData(),
                              limits.timeoutMs, limits.picture, &text);
    } catch (const std::bad_alloc &) {
        status = PageReadStatus::OutOfMemory;
    }
    const char head = static_cast<char>(status);
    WriteAll(out, &head, 1);
    if (static_cast<qsizetype>(text.size()) > limits.maxTextBytes)
        text.resize(static_cast<std::size_t>(limits.maxTextBytes));
    WriteAll(out, text.data(), text.size());
    ::_exit(0);
}

OcrResult::Status FromChild(unsigned char status)
{
    switch (static_cast<PageReadStatus>(status)) {
    case PageReadStatus::Read:
        return OcrResult::Status::Read;
    case PageReadStatus::NoText:
        return OcrResult::Status::NoText;
    case PageReadStatus::NotAPicture:
        return OcrResult::Status::NotAPicture;
    case PageReadStatus::UnsupportedFormat:
        return OcrResult::Status::UnsupportedFormat;
    case PageReadStatus::TooLarge:
        return OcrResult::Status::TooLarge;
    case PageReadStatus::NoLanguageData:
        return OcrResult::Status::NoLanguageData;
    case PageReadStatus::Undecodable:
        return OcrResult::Status::Undecodable;
    case PageReadStatus::OutOfTime:
        return OcrResult::Status::OutOfTime;
    case PageReadStatus::OutOfMemory:
        return OcrResult::Status::OutOfMemory;
    }
    return OcrResult::Status::Undecodable;
}

}  // namespace

OcrResult ReadTextInPicture(const QByteArray &bytes, const QString &language,
                            const OcrLimits &limits)
{
    OcrResult result;
    // Loaded here, before the child is forked, and kept.
    if (!LoadOcrLibrary()) {
        result.status = OcrResult::Status::NoLanguageData;
        return result;
    }
    // Refused here already: no child for what its head condemns.
    const PictureHead head = CheckPicture(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                          static_cast<std::size_t>(bytes.size()), limits.picture);
    if (head.verdict != PictureVerdict::Accepted) {
        result.status = FromChild(static_cast<unsigned char>(
            head.verdict == PictureVerdict::TooLarge            ? PageReadStatus::TooLarge
            : head.verdict == PictureVerdict::UnsupportedFormat ? PageReadStatus::UnsupportedFormat
                                                                : PageReadStatus::NotAPicture));
        return result;
    }
    const QByteArray languageBytes = language.toLatin1();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        result.status = OcrResult::Status::OutOfMemory;
        return result;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        RunChild(fds[1], bytes, languageBytes, limits);
    }
    ::close(fds[1]);
    if (child < 0) {
        ::close(fds[0]);
        result.status = OcrResult::Status::OutOfMemory;
        return result;
    }

    QByteArray received;
    bool ended = false;
    const QDeadlineTimer deadline(limits.timeoutMs + 10000);
    while (!deadline.hasExpired()) {
        pollfd wait{fds[0], POLLIN, 0};
        const int ready =
            ::poll(&wait, 1, static_cast<int>(qMax<qint64>(deadline.remainingTime(), 1)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char chunk[65536];
        const ssize_t got = ::read(fds[0], chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ended = true;
            break;
        }
        if (received.size() <= limits.maxTextBytes)
            received.append(chunk, got);
    }
    ::close(fds[0]);
    if (!ended)
        ::kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.peakMemoryKib = usage.ru_maxrss;
    if (!ended || received.isEmpty()) {
        // Killed at the deadline, by its processor limit, or ended by a
        // failed allocation past its address space.
        const bool timedOut =
            !ended ||
            (WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL));
        result.status = timedOut ? OcrResult::Status::OutOfTime : OcrResult::Status::OutOfMemory;
        return result;
    }
    result.status = FromChild(static_cast<unsigned char>(received.at(0)));
    if (result.status == OcrResult::Status::Read)
        result.text = QString::fromUtf8(received.mid(1));
    return result;
}

OcrResult ReadTextInPictureFile(const QString &path, const QString &language,
                                const OcrLimits &limits)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        OcrResult result;
        result.status = OcrResult::Status::FileUnreadable;
        return result;
    }
    // One byte past the cap tells a file too large from one just at it.
    const QByteArray bytes = file.read(limits.picture.maxFileBytes + 1);
    if (bytes.size() > limits.picture.maxFileBytes) {
        OcrResult result;
        result.status = OcrResult::Status::TooLarge;
        return result;
    }
    return ReadTextInPicture(bytes, language, limits);
}

QString OcrProblemMessage(OcrResult::Status status, const QString &picture, const QString &language,
                          const OcrLimits &limits)
{
    const QString name = QStringLiteral("« ") + picture + QStringLiteral(" »");
    const QLocale french(QLocale::French);
    switch (status) {
    case OcrResult::Status::Read:
        return {};
    case OcrResult::Status::NoText:
        return QStringLiteral("aucun texte reconnu dans l’image ") + name;
    case OcrResult::Status::NotAPicture:
        return name + QStringLiteral(" n’est pas une image (PNG, JPEG ou TIFF attendu)");
    case OcrResult::Status::UnsupportedFormat:
        return name + QStringLiteral(" : format d’image non pris en charge (PNG, JPEG ou TIFF)");
    case OcrResult::Status::TooLarge:
        return name + QStringLiteral(" : image trop grande (%1 pixels de côté, %2 millions de "
                                     "pixels et %3 Mio au plus)")
                          .arg(french.toString(limits.picture.maxSide))
                          .arg(limits.picture.maxPixels / 1000000)
                          .arg(limits.picture.maxFileBytes >> 20);
    case OcrResult::Status::NoLanguageData:
        return QStringLiteral("les données de lecture « ") + language +
               QStringLiteral(" » manquent (paquets tesseract-ocr-fra, -eng, -deu, -spa, -por, "
                              "-ita)");
    case OcrResult::Status::Undecodable:
        return name + QStringLiteral(" : image abîmée ou illisible");
    case OcrResult::Status::OutOfTime:
        return name + QStringLiteral(" : lecture abandonnée après %1 secondes")
                          .arg(limits.timeoutMs / 1000);
    case OcrResult::Status::OutOfMemory:
        return name + QStringLiteral(" : lecture abandonnée, elle demandait plus de %1 Gio de "
                                     "mémoire")
                          .arg(limits.memoryBytes >> 30);
    case OcrResult::Status::FileUnreadable:
        return QStringLiteral("impossible de lire le fichier ") + name;
    }
    return {};
}

}  // namespace verz
