#include "ChineseBitmapStrike.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <QtEndian>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace zx {

namespace {

constexpr quint32 tag(const char (&name)[5]) {
    return quint32(quint8(name[0])) << 24 | quint32(quint8(name[1])) << 16 |
           quint32(quint8(name[2])) << 8 | quint32(quint8(name[3]));
}

// The sizes of the strikes an EBLC table lists: a header of 8 bytes, then
// 48 bytes per strike, its ppem at byte 45.
constexpr int StrikesHeader = 8;
constexpr int StrikeSize = 48;
constexpr int StrikePpem = 45;

// Qt gives Han text to a face that covers any of these.
bool coversHan(const QString& family) {
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    for (const QFontDatabase::WritingSystem system :
         {QFontDatabase::SimplifiedChinese, QFontDatabase::TraditionalChinese,
          QFontDatabase::Japanese}) {
        if (systems.contains(system))
            return true;
    }
    return false;
}

// One face of an sfnt file or collection: whether its EBLC table lists a
// strike of `pixelSize` pixels; nullopt where the file is not what it
// should be.
std::optional<bool> faceHasStrike(const QString& path, int face, int pixelSize) {
    // Not a regular file (a pipe would block the open) is not a font.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    // Offsets and lengths come from the file: a range past its end is
    // refused before QIODevice::read allocates the length asked for, which
    // a damaged table can make gigabytes.
    const quint64 fileSize = quint64(file.size());
    const auto read = [&file, fileSize](quint64 at, quint64 size) {
        QByteArray bytes;
        if (at <= fileSize && size <= fileSize - at && file.seek(qint64(at)))
            bytes = file.read(qint64(size));
        return quint64(bytes.size()) == size ? bytes : QByteArray();
    };
    const auto u32 = [](const QByteArray& bytes, int at) {
        return qFromBigEndian<quint32>(bytes.constData() + at);
    };

    quint64 directory = 0;
    const QByteArray head = read(0, 12);
    if (head.isEmpty())
        return std::nullopt;
    if (u32(head, 0) == tag("ttcf")) {
        if (quint32(face) >= u32(head, 8))
            return std::nullopt;
        const QByteArray offset = read(12 + 4 * quint64(face), 4);
        if (offset.isEmpty())
            return std::nullopt;
        directory = u32(offset, 0);
    } else if (face != 0) {
        return std::nullopt;
    }
    const QByteArray sfnt = directory == 0 ? head : read(directory, 12);
    if (sfnt.isEmpty())
        return std::nullopt;
    const quint32 version = u32(sfnt, 0);
    if (version != 0x00010000 && version != tag("OTTO") && version != tag("true"))
        return std::nullopt;
    const quint16 tables = qFromBigEndian<quint16>(sfnt.constData() + 4);
    const QByteArray records = read(directory + 12, 16 * quint64(tables));
    if (records.isEmpty() && tables > 0)
        return std::nullopt;
    for (quint16 i = 0; i < tables; ++i) {
        if (u32(records, 16 * i) != tag("EBLC"))
            continue;
        const quint64 offset = u32(records, 16 * i + 8);
        const quint64 length = u32(records, 16 * i + 12);
        if (length < StrikesHeader)
            return false;
        const QByteArray header = read(offset, StrikesHeader);
        if (header.isEmpty())
            return std::nullopt;
        const quint64 strikes =
            std::min<quint64>(u32(header, 4), (length - StrikesHeader) / StrikeSize);
        const QByteArray sizes = read(offset + StrikesHeader, StrikeSize * strikes);
        if (sizes.isEmpty() && strikes > 0)
            return std::nullopt;
        for (quint64 s = 0; s < strikes; ++s) {
            if (quint8(sizes.at(qsizetype(StrikeSize * s + StrikePpem))) == pixelSize)
                return true;
        }
        return false;
    }
    return false;
}

}  // namespace

std::optional<bool> chineseBitmapStrike(const QFont& font, int pixelSize) {
    // Ideographs are drawn by the first of the font's families that covers
    // them, else by a fallback of the system's choosing.
    QString family;
    for (const QString& candidate : font.families()) {
        if (coversHan(candidate)) {
            family = candidate;
            break;
        }
    }
    if (family.isEmpty())
        return std::nullopt;

    // Which of the family's faces Qt takes depends on its weight matching;
    // where all faces agree, that choice does not matter.
    const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(),
                                                                          FcPatternDestroy);
    FcPatternAddString(pattern.get(), FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    const std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
        FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr), FcObjectSetDestroy);
    const std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> faces(
        FcFontList(nullptr, pattern.get(), objects.get()), FcFontSetDestroy);
    if (!faces || faces->nfont == 0)
        return std::nullopt;
    std::optional<bool> answer;
    for (int i = 0; i < faces->nfont; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(faces->fonts[i], FC_FILE, 0, &file) != FcResultMatch ||
            FcPatternGetInteger(faces->fonts[i], FC_INDEX, 0, &index) != FcResultMatch)
            return std::nullopt;
        // The upper half of the index names an instance of a variable face.
        const std::optional<bool> strike = faceHasStrike(
            QFile::decodeName(reinterpret_cast<const char*>(file)), index & 0xFFFF, pixelSize);
        if (!strike || (answer && *answer != *strike))
            return std::nullopt;
        answer = strike;
    }
    return answer;
}

bool loadedChineseBitmapStrike(const QFont& font, int pixelSize) {
    QTextLayout layout(QStringLiteral("中"), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.isEmpty())
        return false;
    const QByteArray table = runs.first().rawFont().fontTable("EBLC");
    const quint32 strikes =
        table.size() < StrikesHeader ? 0 : qFromBigEndian<quint32>(table.constData() + 4);
    for (quint32 s = 0;
         s < strikes && StrikesHeader + StrikeSize * (s + 1) <= quint32(table.size()); ++s) {
        if (quint8(table.at(StrikesHeader + StrikeSize * s + StrikePpem)) == pixelSize)
            return true;
    }
    return false;
}

}  // namespace zx
