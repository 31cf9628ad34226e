#pragma once

// Display texts and button pictures by numeric id. Every text id answers its
// fallback unless the UTF-8 file named by ZXWIZARD_TEXTS (lines
// "id<TAB>text") gives another text.

#include <QHash>
#include <QPixmap>
#include <QString>

namespace zx {

class ResourceProvider {
public:
    // Reads ZXWIZARD_TEXTS when it is set; throws zx::Error when that file
    // cannot be read or holds a malformed line.
    ResourceProvider();

    QString GetText(int id, const QString& fallback) const;
    // 104 Cancel, 106 Previous, 107 Next; throws zx::Error for other ids.
    QPixmap GetPicture(int id) const;

    enum Picture { Cancel = 104, Previous = 106, Next = 107 };

private:
    QHash<int, QString> m_texts;
};

}  // namespace zx
