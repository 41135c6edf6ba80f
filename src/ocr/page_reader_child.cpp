#include "ocr/page_reader_child.h"

#include "ocr/ocr_library.h"

#include <tesseract/ocrclass.h>

#include <cstdlib>
#include <memory>

namespace verz {

namespace {

// Set before any picture is decoded: the child's one library.
const OcrLibrary *ocr = nullptr;

struct PixFree {
    void operator()(Pix *pix) const { ocr->destroy(&pix); }
};
using PixHolder = std::unique_ptr<Pix, PixFree>;

struct ApiFree {
    void operator()(TessBaseAPI *api) const { ocr->release(api); }
};
struct TextFree {
    void operator()(char *text) const { ocr->deleteText(text); }
};

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
    ocr = LoadOcrLibrary();
    if (!ocr)
        return PageReadStatus::NoLanguageData;
    PixHolder pix(ocr->readMem(bytes, size));
    if (!pix) {
        // Sound bytes with no room to decode them are the limit's doing.
        void *room = std::malloc(static_cast<std::size_t>(head.width) * head.height * 4);
        std::free(room);
        return room ? PageReadStatus::Undecodable : PageReadStatus::OutOfMemory;
    }
    // The head and the pixels must agree: a TIFF may hold another page size.
    if (ocr->width(pix.get()) != head.width || ocr->height(pix.get()) != head.height)
        return PageReadStatus::Undecodable;
    if (ocr->colormap(pix.get()))
        pix.reset(ocr->removeColormap(pix.get(), REMOVE_CMAP_BASED_ON_SRC));
    if (!pix)
        return PageReadStatus::Undecodable;

    const std::unique_ptr<TessBaseAPI, ApiFree> api(ocr->create());
    if (!api || ocr->init(api.get(), nullptr, language, tesseract::OEM_LSTM_ONLY) != 0)
        return PageReadStatus::NoLanguageData;
    ocr->setPageSegMode(api.get(), tesseract::PSM_AUTO);
    // A picture without a resolution (most screenshots) is taken as a screen's.
    if (ocr->xResolution(pix.get()) < 50)
        ocr->setSourceResolution(api.get(), 96);
    ocr->setImage(api.get(), pix.get());
    tesseract::ETEXT_DESC monitor;
    monitor.set_deadline_msecs(deadlineMs);
    if (ocr->recognize(api.get(), &monitor) != 0)
        return monitor.deadline_exceeded() ? PageReadStatus::OutOfTime : PageReadStatus::NoText;
    const std::unique_ptr<char, TextFree> raw(ocr->utf8Text(api.get()));
    *text = raw ? Tidied(raw.get()) : std::string();
    return text->find_first_not_of(" \n") == std::string::npos ? PageReadStatus::NoText
                                                               : PageReadStatus::Read;
}

}  // namespace verz
