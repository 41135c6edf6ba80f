#include "ocr/ocr_library.h"

#include <dlfcn.h>

#include <mutex>

namespace verz {

namespace {

template <typename Function> bool Find(void *library, const char *name, Function *slot)
{
    *slot = reinterpret_cast<Function>(::dlsym(library, name));
    return *slot != nullptr;
}

OcrLibrary Loaded()
{
    // Tesseract needs leptonica, so its handle finds leptonica's functions too.
    void *library = ::dlopen("libtesseract.so.5", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return {};
    OcrLibrary found;
    const bool all = Find(library, "setMsgSeverity", &found.setSeverity) &&
                     Find(library, "findFileFormatBuffer", &found.format) &&
                     Find(library, "pixReadHeaderMem", &found.readHeader) &&
                     Find(library, "pixReadMem", &found.readMem) &&
                     Find(library, "pixDestroy", &found.destroy) &&
                     Find(library, "pixGetWidth", &found.width) &&
                     Find(library, "pixGetHeight", &found.height) &&
                     Find(library, "pixGetXRes", &found.xResolution) &&
                     Find(library, "pixGetColormap", &found.colormap) &&
                     Find(library, "pixRemoveColormap", &found.removeColormap) &&
                     Find(library, "TessBaseAPICreate", &found.create) &&
                     Find(library, "TessBaseAPIDelete", &found.release) &&
                     Find(library, "TessBaseAPIInit2", &found.init) &&
                     Find(library, "TessBaseAPISetPageSegMode", &found.setPageSegMode) &&
                     Find(library, "TessBaseAPISetSourceResolution", &found.setSourceResolution) &&
                     Find(library, "TessBaseAPISetImage2", &found.setImage) &&
                     Find(library, "TessBaseAPIRecognize", &found.recognize) &&
                     Find(library, "TessBaseAPIGetUTF8Text", &found.utf8Text) &&
                     Find(library, "TessDeleteText", &found.deleteText);
    return all ? found : OcrLibrary{};
}

}  // namespace

const OcrLibrary *LoadOcrLibrary()
{
    static OcrLibrary library;
    static std::once_flag once;
    std::call_once(once, [] { library = Loaded(); });
    return library.readMem ? &library : nullptr;
}

}  // namespace verz
