#include "ocr/picture_check.h"

#include "ocr/ocr_library.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace verz {

namespace {

bool Supported(l_int32 format)
{
    switch (format) {
    case IFF_PNG:
    case IFF_JFIF_JPEG:
    case IFF_TIFF:
    case IFF_TIFF_PACKBITS:
    case IFF_TIFF_RLE:
    case IFF_TIFF_G3:
    case IFF_TIFF_G4:
    case IFF_TIFF_LZW:
    case IFF_TIFF_ZIP:
    case IFF_TIFF_JPEG:
        return true;
    default:
        return false;
    }
}

// The decoders leptonica calls say what they think of damaged bytes on
// standard error ("Premature end of JPEG file"), in English, beside the
// French line the user is owed: the head is read with standard error
// pointed at nothing. The picture commands read a head between lines of
// their own, so nothing they say is lost meanwhile.
class SilencedStandardError {
public:
    SilencedStandardError()
    {
        std::fflush(stderr);
        saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && nowhere >= 0)
            ::dup2(nowhere, STDERR_FILENO);
        if (nowhere >= 0)
            ::close(nowhere);
    }
    ~SilencedStandardError()
    {
        std::fflush(stderr);
        if (saved_ < 0)
            return;
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    SilencedStandardError(const SilencedStandardError &) = delete;
    SilencedStandardError &operator=(const SilencedStandardError &) = delete;

private:
    int saved_ = -1;
};

}  // namespace

PictureHead CheckPicture(const std::uint8_t *bytes, std::size_t size, const PictureLimits &limits)
{
    PictureHead head;
    const OcrLibrary *leptonica = LoadOcrLibrary();
    if (!leptonica)
        return head;
    // Leptonica would say on standard error what it thinks of bad bytes.
    leptonica->setSeverity(L_SEVERITY_NONE);
    if (size < 12)  // the longest signature looked at
        return head;
    l_int32 format = IFF_UNKNOWN;
    if (leptonica->format(bytes, &format) != 0 || format == IFF_UNKNOWN)
        return head;
    if (!Supported(format)) {
        head.verdict = PictureVerdict::UnsupportedFormat;
        return head;
    }
    if (static_cast<std::int64_t>(size) > limits.maxFileBytes) {
        head.verdict = PictureVerdict::TooLarge;
        return head;
    }
    l_int32 width = 0;
    l_int32 height = 0;
    l_int32 bps = 0;
    l_int32 spp = 0;
    l_int32 colormap = 0;
    int unreadable = 0;
    {
        const SilencedStandardError silenced;
        unreadable =
            leptonica->readHeader(bytes, size, &format, &width, &height, &bps, &spp, &colormap);
    }
    if (unreadable != 0 || width <= 0 || height <= 0)
        return head;
    head.width = width;
    head.height = height;
    const bool tooLarge = width > limits.maxSide || height > limits.maxSide ||
                          static_cast<std::int64_t>(width) * height > limits.maxPixels;
    head.verdict = tooLarge ? PictureVerdict::TooLarge : PictureVerdict::Accepted;
    return head;
}

}  // namespace verz
