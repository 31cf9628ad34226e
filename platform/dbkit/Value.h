#pragma once

#include <QVariant>

namespace zx::db {

// A field value that may be Null, as a recordset hands it out.
class Value {
public:
    Value() = default;  // Null
    explicit Value(QVariant value) : m_value(std::move(value)), m_null(false) {}
    Value(const QString& text) : m_value(text), m_null(false) {}
    Value(const char* text) : Value(QString::fromUtf8(text)) {}

    static Value null() { return {}; }

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

    friend bool operator==(const Value& a, const Value& b);

private:
    QVariant m_value;
    bool m_null = true;
};

}  // namespace zx::db
