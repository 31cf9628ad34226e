#include "WriteWholeFile.h"

#include <QSaveFile>

namespace zx {

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    // Unbuffered: a failing write is seen by the write that failed, and
    // commit() then refuses to rename.
    bool whole = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    // A short write reports no error; the next one says why (a full disk).
    for (qsizetype done = 0; whole && done < bytes.size();) {
        const qint64 wrote = file.write(bytes.constData() + done, bytes.size() - done);
        whole = wrote > 0;
        done += wrote;
    }
    // Not committed, the temporary file goes with `file`.
    if (whole && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

}  // namespace zx
