#pragma once

#include <QStringList>

class QWidget;

namespace zx::host {

// A picture of the window, written where the user asked and nowhere else.
class Screenshot {
public:
    // Why `path` cannot take a picture, or empty when it can: the format
    // follows the extension (.png, .jpg, .jpeg); never one of `databases`
    // or their journals; an existing target must be a regular file; and a
    // file must be creatable in its folder.
    static QString refusal(const QString& path, const QStringList& databases);

    // Writes through a temporary file beside the target and renames it, so
    // the target is either the old file or the whole new picture.
    static bool save(QWidget* window, const QString& path, QString* error);
};

}  // namespace zx::host
