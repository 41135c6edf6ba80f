#include "ocr/page_reader_child.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>

#include <cstdlib>
#include <memory>

namespace verz {

namespace {

struct PixFree {
    void operator()(Pix *pix) const { pixDestroy(&pix); }
};
using PixHolder = std::unique_ptr<Pix, PixFree>;

PageReadStatus FromVerdict(PictureVerdict verdict)
{
    switch (verdict) {
    case PictureVerdict::Accepted:
        return PageReadStatus::Read;
    case PictureVerdict::NotAPicture:
        return PageReadStatus::NotAPicture;
    case PictureVerdict::UnsupportedFormat:
        return PageReadStatus::UnsupportedFormat;
    case PictureVerdict::TooLarge:
        return PageReadStatus::TooLarge;
    }
    return PageReadStatus::NotAPicture;
}

// Tesseract ends a page with a form feed and some lines with spaces; its
// paragraphs are parted by one empty line, kept as such.
std::string Tidied(const char *raw)
{
    std::string text;
    std::string line;
    bool blankPending = false;
    const auto endLine = [&] {
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        if (line.empty()) {
            blankPending = !text.empty();
            return;
        }
        if (blankPending)
            text += '\n';
        blankPending = false;
        text += line;
        text += '\n';
        line.clear();
    };
    for (const char *at = raw; *at; ++at) {
        if (*at == '\n')
            endLine();
        else if (*at != '\f' && *at != '\r')
            line += *at;
    }
    endLine();
    return text;
}

}  // namespace

PageReadStatus ReadPageText(const std::uint8_t *bytes, std::size_t size, const char *language,
                            int deadlineMs, const PictureLimits &limits, std::string *text)
{
    const PictureHead head = CheckPicture(bytes, size, limits);
    if (head.verdict != PictureVerdict::Accepted)
        return FromVerdict(head.verdict);
    PixHolder pix(pixReadMem(bytes, size));
    if (!pix) {
        // Sound bytes with no room to decode them are the limit's doing.
        void *room = std::malloc(static_cast<std::size_t>(head.width) * head.height * 4);
        std::free(room);
        return room ? PageReadStatus::Undecodable : PageReadStatus::OutOfMemory;
    }
    // The head and the pixels must agree: a TIFF may hold another page size.
    if (pixGetWidth(pix.get()) != head.width || pixGetHeight(pix.get()) != head.height)
        return PageReadStatus::Undecodable;
    if (pixGetColormap(pix.get()))
        pix.reset(pixRemoveColormap(pix.get(), REMOVE_CMAP_BASED_ON_SRC));
    if (!pix)
        return PageReadStatus::Undecodable;

    tesseract::TessBaseAPI api;
    if (api.Init(nullptr, language, tesseract::OEM_LSTM_ONLY) != 0)
        return PageReadStatus::NoLanguageData;
    api.SetPageSegMode(tesseract::PSM_AUTO);
    // A picture without a resolution (most screenshots) is taken as a screen's.
    if (pixGetXRes(pix.get()) < 50)
        api.SetSourceResolution(96);
    api.SetImage(pix.get());
    tesseract::ETEXT_DESC monitor;
    monitor.set_deadline_msecs(deadlineMs);
    if (api.Recognize(&monitor) != 0)
        return monitor.deadline_exceeded() ? PageReadStatus::OutOfTime : PageReadStatus::NoText;
    const std::unique_ptr<char[]> raw(api.GetUTF8Text());
    *text = raw ? Tidied(raw.get()) : std::string();
    return text->find_first_not_of(" \n") == std::string::npos ? PageReadStatus::NoText
                                                               : PageReadStatus::Read;
}

}  // namespace verz
