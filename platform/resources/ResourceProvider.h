#pragma once

// Display texts and button pictures by numeric id. The provider ships a text
// for every id the window asks for; ZXWIZARD_TEXTS may name a UTF-8 file of
// "id<TAB>text" lines that replaces those texts as a whole. An unset or empty
// variable means the shipped texts; a file without lines gives a provider
// with no texts of its own, so every caller gets its fallback.

#include <QHash>
#include <QPixmap>
#include <QString>

namespace zx {

class ResourceProvider {
public:
    // Throws zx::Error when the named file cannot be read or holds a
    // malformed line or an id twice.
    ResourceProvider();

    QString GetText(int id, const QString& fallback) const;
    // 104 Cancel, 106 Previous, 107 Next; throws zx::Error for other ids.
    QPixmap GetPicture(int id) const;

    enum Picture { Cancel = 104, Previous = 106, Next = 107 };

private:
    void readTexts(const QString& path);

    QHash<int, QString> m_texts;
};

}  // namespace zx
