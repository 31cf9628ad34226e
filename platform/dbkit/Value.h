#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QVariant>

namespace zx::db {

// A text bound as these very bytes, though they are no UTF-8: how a value
// stored in an older encoding is written back untouched.
struct TextBytes {
    QByteArray bytes;
};

// A field value that may be Null, as a recordset hands it out.
class Value {
public:
    Value() = default;  // Null
    explicit Value(QVariant value) : m_value(std::move(value)), m_null(false) {}
    Value(const QString& text) : m_value(text), m_null(false) {}
    Value(const char* text) : Value(QString::fromUtf8(text)) {}

    static Value null() { return {}; }
    // A text as stored. Bytes that are not UTF-8 (an older encoding, a broken
    // sequence) read with replacement characters, but the value keeps them,
    // so that it compares and writes back as the bytes it was.
    static Value ofText(const char* bytes, qsizetype size);

    bool isNull() const { return m_null; }
    const QVariant& variant() const { return m_value; }

    // The value as text; Null cannot be made into text ("Invalid use of
    // Null"), so this throws for it, naming what was being read.
    QString toText(const QString& what) const;
    // Text, with Null read as the empty text: the reads that compare with ""
    // treat Null like empty.
    QString textOrEmpty() const { return m_null ? QString() : m_value.toString(); }
    // Not Null and not the empty text.
    bool hasText() const { return !m_null && !m_value.toString().isEmpty(); }
    // A flag column: Null and 0 are false, anything numeric and non-zero true.
    bool isTrueFlag() const;

    bool isBlob() const { return !m_null && m_value.typeId() == QMetaType::QByteArray; }
    // The stored bytes of a text that is not UTF-8; empty for any other value.
    const QByteArray& textBytes() const { return m_textBytes; }
    // What a statement binds to store this value again exactly: the same
    // bytes in the same storage class (Null as an invalid QVariant).
    QVariant bindable() const;

    friend bool operator==(const Value& a, const Value& b);

private:
    QVariant m_value;
    QByteArray m_textBytes;
    bool m_null = true;
};

}  // namespace zx::db

Q_DECLARE_METATYPE(zx::db::TextBytes)
