#pragma once

#include <QByteArray>
#include <QString>

namespace zx {

// Replaces the file at `path` with `bytes`, whole or not at all: through a
// temporary file in the same folder, synced, then renamed over the old one.
// Every write is checked as it is made; a buffered QSaveFile lets a short
// write on a full disk pass and renames the truncated file into place.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace zx
