#include "cli/document_command.h"

#include "cli/cli_main.h"
#include "cli/cli_texts.h"
#include "cli/command_line.h"
#include "cli/document_upload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <ostream>

namespace verz {

namespace {

int Fail(std::ostream &err, const QString &text, int status)
{
    err << (QStringLiteral("Verzolan : ") + text + u'\n').toStdString();
    return status;
}

QString Quoted(const QString &text)
{
    return QStringLiteral("« ") + text + QStringLiteral(" »");
}

bool SameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() &&
           first.canonicalFilePath() == second.canonicalFilePath();
}

}  // namespace

int TranslateDocumentFile(const CommandLine &line, const ServiceAccess &service, std::ostream &out,
                          std::ostream &err)
{
    const QString input = line.inputFile;
    if (!line.outputFile.isEmpty()) {
        if (SameFile(line.outputFile, input))
            return Fail(err,
                        QStringLiteral("la traduction ne remplace jamais le fichier lu ") +
                            Quoted(input),
                        kExitUsage);
        if (QFileInfo::exists(line.outputFile) && !line.force)
            return Fail(err,
                        Quoted(line.outputFile) +
                            QStringLiteral(" existe déjà (--force pour le remplacer)"),
                        kExitUsage);
    }
    QFile file(input);
    if (!QFileInfo(input).isFile() || !file.open(QIODevice::ReadOnly))
        return Fail(err, QStringLiteral("impossible de lire ") + Quoted(input), kExitUsage);
    const QByteArray content = file.readAll();
    file.close();

    const DocumentAnswer answer = UploadDocument(
        service, line.pairCode, QFileInfo(input).fileName(), content, kDocumentTimeoutMs);
    if (!answer.reached)
        return Fail(err, NotConnectedMessage(service.host), kExitNotConnected);
    if (answer.tooLarge)
        return Fail(err,
                    QStringLiteral("réponse du service trop grosse (plus de %1 Mio) : rien n'a "
                                   "été écrit")
                        .arg(kMaxDocumentAnswer / (1024 * 1024)),
                    kExitNotConnected);
    if (answer.status != 200)
        return Fail(err, QString::fromUtf8(answer.body).trimmed(),
                    // 422: a sound document the service could not translate (another
                    // language than the pair's, a pair not installed): no usage error.
                    answer.status >= 500 || answer.status == 422 ? kExitNotConnected : kExitUsage);

    QString output = line.outputFile;
    if (output.isEmpty()) {
        if (answer.fileName.isEmpty())
            return Fail(err,
                        QStringLiteral("le service n'a pas nommé la traduction ; "
                                       "indiquez --output"),
                        kExitUsage);
        output = QFileInfo(input).dir().filePath(answer.fileName);
        if (SameFile(output, input))
            return Fail(err,
                        QStringLiteral("la traduction ne remplace jamais le fichier lu ") +
                            Quoted(input),
                        kExitUsage);
        if (QFileInfo::exists(output) && !line.force)
            return Fail(err,
                        Quoted(output) + QStringLiteral(" existe déjà (--force pour le remplacer)"),
                        kExitUsage);
    }
    // Whole or not at all: an interrupted write leaves the old file as it was.
    QSaveFile saved(output);
    if (!saved.open(QIODevice::WriteOnly) || saved.write(answer.body) != answer.body.size() ||
        !saved.commit())
        return Fail(err, QStringLiteral("impossible d'écrire ") + Quoted(output), kExitUsage);
    out << (output + u'\n').toStdString() << std::flush;
    return kExitTranslated;
}

}  // namespace verz
