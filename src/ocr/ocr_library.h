#pragma once

#include <leptonica/allheaders.h>
#include <tesseract/capi.h>

namespace verz {

// What the reading uses of leptonica and Tesseract, looked up when a picture
// is first read rather than linked: the two bring some fifty libraries whose
// loading was half of every start of the program, the selection command's
// included, which never reads a picture.
struct OcrLibrary {
    decltype(&setMsgSeverity) setSeverity = nullptr;
    decltype(&findFileFormatBuffer) format = nullptr;
    decltype(&pixReadHeaderMem) readHeader = nullptr;
    decltype(&pixReadMem) readMem = nullptr;
    decltype(&pixDestroy) destroy = nullptr;
    decltype(&pixGetWidth) width = nullptr;
    decltype(&pixGetHeight) height = nullptr;
    decltype(&pixGetXRes) xResolution = nullptr;
    decltype(&pixGetColormap) colormap = nullptr;
    decltype(&pixRemoveColormap) removeColormap = nullptr;
    decltype(&TessBaseAPICreate) create = nullptr;
    decltype(&TessBaseAPIDelete) release = nullptr;
    decltype(&TessBaseAPIInit2) init = nullptr;
    decltype(&TessBaseAPISetPageSegMode) setPageSegMode = nullptr;
    decltype(&TessBaseAPISetSourceResolution) setSourceResolution = nullptr;
    decltype(&TessBaseAPISetImage2) setImage = nullptr;
    decltype(&TessBaseAPIRecognize) recognize = nullptr;
    decltype(&TessBaseAPIGetUTF8Text) utf8Text = nullptr;
    decltype(&TessDeleteText) deleteText = nullptr;
};

// Loaded once, in the process that forks the reading child (loading in a
// child of a threaded process could meet a lock another thread held), and
// kept; null when a library or one of its functions is missing.
const OcrLibrary *LoadOcrLibrary();

}  // namespace verz
