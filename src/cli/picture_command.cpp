#include "cli/picture_command.h"

#include "cli/cli_main.h"
#include "cli/cli_texts.h"
#include "cli/command_line.h"
#include "common/languages.h"
#include "detect/detected_pair.h"
#include "detect/language_detector.h"
#include "ocr/bounded_ocr.h"
#include "pairs/pair_catalogue.h"

#include <ostream>

namespace verz {

namespace {

void Say(std::ostream &err, const QString &problem)
{
    err << (QStringLiteral("Verzolan : ") + problem + u'\n').toStdString() << std::flush;
}

int StatusFor(OcrResult::Status status)
{
    return status == OcrResult::Status::NoText ? kExitNothingRecognised : kExitUsage;
}

}  // namespace

PictureText ReadPictureText(const PictureReader &read, const CommandLine &line)
{
    PictureText picture;
    if (!line.autoPair)
        picture.source = line.pairCode.section(u'|', 0, 0);
    picture.firstLanguage =
        line.autoPair ? QStringLiteral("eng") : LanguageByCode(picture.source)->apertium;
    picture.read = read(picture.firstLanguage);
    if (picture.read.status == OcrResult::Status::Read && line.autoPair) {
        picture.source = DetectLanguage(picture.read.text).code;
        // Read again in the language found: its letters and words are known then.
        if (const Language *found = LanguageByCode(picture.source);
            found && picture.source != u"en")
            picture.read = read(found->apertium);
    }
    return picture;
}

int ReadPictureCommand(const CommandLine &line, const std::function<ServiceAccess()> &service,
                       std::ostream &out, std::ostream &err)
{
    const PictureText picture = ReadPictureText(
        [&line](const QString &language) { return ReadTextInPictureFile(line.picture, language); },
        line);
    const OcrResult &read = picture.read;
    const QString &source = picture.source;
    if (read.status != OcrResult::Status::Read) {
        Say(err, OcrProblemMessage(read.status, line.picture, picture.firstLanguage));
        return StatusFor(read.status);
    }
    if (line.ocrOnly) {
        out << read.text.toStdString() << std::flush;
        return kExitTranslated;
    }

    QString code = line.pairCode;
    if (line.autoPair) {
        code = PairForDetectedLanguage(source, line.autoTarget);
        if (code.isEmpty()) {
            Say(err,
                NoSuchDetectedPairMessage(source, line.autoTarget.isEmpty() ? QStringLiteral("fr")
                                                                            : line.autoTarget));
            return kExitUsage;
        }
    }
    const ServiceAccess access = service();
    LineTranslator translator(access, PairRowForCode(code), code, false);
    QString lines = read.text;
    lines.chop(lines.endsWith(u'\n') ? 1 : 0);  // the last line's end, not an empty line
    for (const QString &text : lines.split(u'\n')) {
        if (text.isEmpty()) {
            out << '\n';
            continue;
        }
        const std::optional<QString> translation = translator.translate(text);
        if (!translation) {
            Say(err, NotConnectedMessage(access.host));
            return kExitNotConnected;
        }
        out << (*translation + u'\n').toStdString() << std::flush;
    }
    return kExitTranslated;
}

}  // namespace verz
