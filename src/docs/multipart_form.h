#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <variant>

namespace verz {

// One part of a multipart/form-data body; data points into the body given.
struct FormPart {
    QByteArray name;
    QString fileName;  // empty for a plain field
    bool isFile = false;
    QByteArray contentType;
    QByteArrayView data;
};

struct MultipartForm {
    QList<FormPart> parts;
    // The only part of that name; nullptr when there is none.
    const FormPart *find(QByteArrayView name) const;
};

enum class FormError {
    NotMultipart,   // the Content-Type is not multipart/form-data
    NoBoundary,     // multipart without a usable boundary
    Truncated,      // no closing boundary: the body was cut off
    Malformed,      // a part without its head, or a head past its limit
    DuplicateField  // the same field twice (two files, say)
};

// Reads the body of an HTML form sent as multipart/form-data (RFC 7578).
// Nothing is copied: the parts' data are views into body.
std::variant<MultipartForm, FormError> ParseMultipartForm(QByteArrayView contentType,
                                                          QByteArrayView body);

// The boundary named by a Content-Type field; empty when absent or unusable.
QByteArray MultipartBoundary(QByteArrayView contentType);

}  // namespace verz
