#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Files the user asked for are written whole or not at all: a write that
// fails half-way (a full disk, a quota, a file-size limit) leaves any older
// file of that name as it was and no half-written one beside it, and says why
// in words the user can act on.
namespace waitline {

// Returns an empty string on success, otherwise "Cannot write PATH: reason".
QString SaveWhole(const QString& path, const QByteArray& bytes);

// The image encoded as PNG in memory first, so that a failure to encode and
// a failure to write are told apart.
QString SavePng(const QImage& image, const QString& path);

}  // namespace waitline
