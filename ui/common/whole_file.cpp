#include "ui/common/whole_file.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QSaveFile>

namespace waitline {

namespace {

QString CannotWrite(const QString& path, const QString& reason)
{
    return QCoreApplication::translate("Files", "Cannot write %1: %2").arg(path, reason);
}

// A write may take fewer bytes than it was given without setting an error:
// the disk filled up part-way. Writing the rest then fails with the reason,
// "No space left on device", which is what the user needs to hear.
bool WriteAll(QSaveFile& file, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            return false;
        }
        done += static_cast<qsizetype>(written);
    }
    return true;
}

QString Reason(const QSaveFile& file)
{
    return file.error() == QFileDevice::NoError
               ? QCoreApplication::translate("Files", "the file could not be written whole")
               : file.errorString();
}

}  // namespace

QString SaveWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // Unbuffered, so that each write reaches the disk at once and a short
    // one shows here rather than inside a flush that cannot say why.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return CannotWrite(path, file.errorString());
    }
    if (!WriteAll(file, bytes)) {
        const QString reason = Reason(file);
        // The temporary file goes with the object; the old file was never
        // touched.
        file.cancelWriting();
        return CannotWrite(path, reason);
    }
    if (!file.commit()) {
        return CannotWrite(path, Reason(file));
    }
    return {};
}

QString SavePng(const QImage& image, const QString& path)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) {
        return CannotWrite(path, QCoreApplication::translate("Files", "the image could not be encoded as PNG"));
    }
    return SaveWhole(path, png);
}

}  // namespace waitline
