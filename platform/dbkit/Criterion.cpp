#include "Criterion.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace zx::db {

namespace {

enum class Tri { False, True, Unknown };

Tri operator!(Tri t) {
    return t == Tri::Unknown ? t : (t == Tri::True ? Tri::False : Tri::True);
}

struct Token {
    enum Kind { Name, Text, Number, Op, LParen, RParen, End } kind;
    QString text;
    int position;
};

bool isNameStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_');
}
bool isNamePart(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

std::optional<std::vector<Token>> tokenize(const QString& s, QString* why) {
    std::vector<Token> tokens;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('\'')) {
            QString text;
            const int start = i++;
            bool closed = false;
            while (i < n) {
                const int quote = int(s.indexOf(QLatin1Char('\''), i));
                if (quote < 0)
                    break;
                text += QStringView(s).mid(i, quote - i);
                i = quote + 1;
                if (i < n && s[i] == QLatin1Char('\'')) {
                    text += QLatin1Char('\'');
                    ++i;
                    continue;
                }
                closed = true;
                break;
            }
            if (!closed) {
                *why = QStringLiteral("unterminated text at %1").arg(start + 1);
                return std::nullopt;
            }
            tokens.push_back({Token::Text, text, start});
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
            const int start = i;
            while (i < n && (s[i].isDigit() || s[i] == QLatin1Char('.')))
                ++i;
            tokens.push_back({Token::Number, s.mid(start, i - start), start});
        } else if (c == QLatin1Char('[')) {
            const int start = i;
            const int close = int(s.indexOf(QLatin1Char(']'), i));
            if (close < 0) {
                *why = QStringLiteral("unterminated [name] at %1").arg(start + 1);
                return std::nullopt;
            }
            tokens.push_back({Token::Name, s.mid(i + 1, close - i - 1), start});
            i = close + 1;
        } else if (isNameStart(c)) {
            const int start = i;
            while (i < n && isNamePart(s[i]))
                ++i;
            tokens.push_back({Token::Name, s.mid(start, i - start), start});
        } else if (c == QLatin1Char('(')) {
            tokens.push_back({Token::LParen, QStringLiteral("("), i++});
        } else if (c == QLatin1Char(')')) {
            tokens.push_back({Token::RParen, QStringLiteral(")"), i++});
        } else if (c == QLatin1Char('=')) {
            tokens.push_back({Token::Op, QStringLiteral("="), i++});
        } else if (c == QLatin1Char('<') || c == QLatin1Char('>')) {
            QString op(c);
            const int start = i++;
            if (i < n &&
                (s[i] == QLatin1Char('=') || (c == QLatin1Char('<') && s[i] == QLatin1Char('>'))))
                op += s[i++];
            tokens.push_back({Token::Op, op, start});
        } else if (c == QLatin1Char('-') || c == QLatin1Char('+')) {
            // A sign belongs to the number after it.
            const int start = i++;
            int j = i;
            while (j < n && s[j].isSpace())
                ++j;
            if (j < n && (s[j].isDigit() || s[j] == QLatin1Char('.'))) {
                int k = j;
                while (k < n && (s[k].isDigit() || s[k] == QLatin1Char('.')))
                    ++k;
                tokens.push_back({Token::Number, QString(c) + s.mid(j, k - j), start});
                i = k;
            } else {
                *why = QStringLiteral("unexpected '%1' at %2").arg(c).arg(start + 1);
                return std::nullopt;
            }
        } else {
            *why = QStringLiteral("unexpected '%1' at %2").arg(c).arg(i + 1);
            return std::nullopt;
        }
    }
    tokens.push_back({Token::End, QString(), int(n)});
    return tokens;
}

bool isKeyword(const Token& t, const char* word) {
    return t.kind == Token::Name && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

}  // namespace

struct Criterion::Node {
    enum Kind { And, Or, Not, Compare, IsNull } kind;
    std::unique_ptr<Node> left, right;
    // Compare / IsNull
    enum Op { Equal, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual } op = Equal;
    bool negate = false;
    struct Operand {
        int field = -1;  // index into m_fields, or -1 for a literal
        Value literal;
        bool numeric = false;
    } a, b;
};

namespace {

class Parser {
public:
    Parser(std::vector<Token> tokens, QStringList* fields)
        : m_t(std::move(tokens)), m_fields(fields) {}

    std::unique_ptr<Criterion::Node> parse(QString* why) {
        auto node = orExpr();
        if (node && peek().kind != Token::End)
            fail(QStringLiteral("unexpected '%1'").arg(peek().text));
        if (!m_error.isEmpty()) {
            *why = m_error;
            return nullptr;
        }
        return node;
    }

private:
    using Node = Criterion::Node;

    const Token& peek() const { return m_t[m_pos]; }
    const Token& take() { return m_t[m_pos < m_t.size() - 1 ? m_pos++ : m_pos]; }
    std::unique_ptr<Node> fail(const QString& why) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1 at %2").arg(why).arg(peek().position + 1);
        return nullptr;
    }

    std::unique_ptr<Node> binary(Node::Kind kind, const char* word,
                                 std::unique_ptr<Node> (Parser::*next)()) {
        auto left = (this->*next)();
        while (left && isKeyword(peek(), word)) {
            take();
            auto right = (this->*next)();
            if (!right)
                return nullptr;
            auto node = std::make_unique<Node>();
            node->kind = kind;
            node->left = std::move(left);
            node->right = std::move(right);
            left = std::move(node);
        }
        return left;
    }
    std::unique_ptr<Node> orExpr() { return binary(Node::Or, "or", &Parser::andExpr); }
    std::unique_ptr<Node> andExpr() { return binary(Node::And, "and", &Parser::notExpr); }

    std::unique_ptr<Node> notExpr() {
        if (isKeyword(peek(), "not")) {
            take();
            auto inner = notExpr();
            if (!inner)
                return nullptr;
            auto node = std::make_unique<Node>();
            node->kind = Node::Not;
            node->left = std::move(inner);
            return node;
        }
        if (peek().kind == Token::LParen) {
            take();
            auto inner = orExpr();
            if (!inner)
                return nullptr;
            if (peek().kind != Token::RParen)
                return fail(QStringLiteral("missing ')'"));
            take();
            return inner;
        }
        return comparison();
    }

    bool operand(Node::Operand* out) {
        const Token& t = peek();
        switch (t.kind) {
            case Token::Name:
                if (isKeyword(t, "and") || isKeyword(t, "or") || isKeyword(t, "not") ||
                    isKeyword(t, "is") || isKeyword(t, "null")) {
                    fail(QStringLiteral("expected a field or a value"));
                    return false;
                }
                {
                    int index = -1;
                    for (int i = 0; i < m_fields->size(); ++i)
                        if (m_fields->at(i).compare(t.text, Qt::CaseInsensitive) == 0)
                            index = i;
                    if (index < 0) {
                        m_fields->append(t.text);
                        index = int(m_fields->size()) - 1;
                    }
                    out->field = index;
                }
                take();
                return true;
            case Token::Text:
                out->literal = Value(t.text);
                take();
                return true;
            case Token::Number: {
                bool ok = false;
                const double number = t.text.toDouble(&ok);
                if (!ok) {
                    fail(QStringLiteral("bad number '%1'").arg(t.text));
                    return false;
                }
                out->literal = Value(QVariant(number));
                out->numeric = true;
                take();
                return true;
            }
            default:
                fail(QStringLiteral("expected a field or a value"));
                return false;
        }
    }

    std::unique_ptr<Node> comparison() {
        auto node = std::make_unique<Node>();
        if (!operand(&node->a))
            return nullptr;
        if (isKeyword(peek(), "is")) {
            take();
            node->kind = Node::IsNull;
            if (isKeyword(peek(), "not")) {
                take();
                node->negate = true;
            }
            if (!isKeyword(peek(), "null"))
                return fail(QStringLiteral("expected 'null'"));
            take();
            return node;
        }
        if (peek().kind != Token::Op)
            return fail(QStringLiteral("expected a comparison"));
        node->kind = Node::Compare;
        node->op = opOf(take().text);
        if (!operand(&node->b))
            return nullptr;
        return node;
    }

    static Node::Op opOf(const QString& text) {
        if (text == u"=")
            return Node::Equal;
        if (text == u"<>")
            return Node::NotEqual;
        if (text == u"<")
            return Node::Less;
        if (text == u">")
            return Node::Greater;
        return text == u"<=" ? Node::LessOrEqual : Node::GreaterOrEqual;
    }

    std::vector<Token> m_t;
    size_t m_pos = 0;
    QStringList* m_fields;
    QString m_error;
};

bool asNumber(const QVariant& v, double* out) {
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Bool:
            *out = v.toDouble();
            return true;
        default: {
            bool ok = false;
            *out = v.toString().trimmed().toDouble(&ok);
            return ok;
        }
    }
}

}  // namespace

Criterion::~Criterion() = default;

std::shared_ptr<const Criterion> Criterion::parse(const QString& text, QString* error) {
    QString why;
    auto tokens = tokenize(text, &why);
    auto criterion = std::shared_ptr<Criterion>(new Criterion);
    criterion->m_text = text;
    if (tokens) {
        if (tokens->size() == 1)
            why = QStringLiteral("empty criterion");
        else
            criterion->m_root = Parser(std::move(*tokens), &criterion->m_fields).parse(&why);
    }
    if (!criterion->m_root) {
        if (error)
            *error = QStringLiteral("cannot parse the criterion \"%1\": %2").arg(text, why);
        return nullptr;
    }
    return criterion;
}

std::shared_ptr<const Criterion> Criterion::cached(const QString& text, QString* error) {
    static thread_local QHash<QString, std::shared_ptr<const Criterion>> cache;
    if (auto it = cache.constFind(text); it != cache.constEnd())
        return it.value();
    auto criterion = parse(text, error);
    if (criterion) {
        if (cache.size() >= 512)
            cache.clear();
        cache.insert(text, criterion);
    }
    return criterion;
}

std::optional<std::vector<int>> Criterion::bind(const QStringList& columns, QString* error) const {
    std::vector<int> bound(size_t(m_fields.size()), -1);
    for (int f = 0; f < m_fields.size(); ++f) {
        for (int c = 0; c < columns.size(); ++c) {
            if (columns[c].compare(m_fields[f], Qt::CaseInsensitive) == 0) {
                bound[size_t(f)] = c;
                break;
            }
        }
        if (bound[size_t(f)] < 0) {
            if (error)
                *error = QStringLiteral("the criterion \"%1\" names an unknown field %2")
                             .arg(m_text, m_fields[f]);
            return std::nullopt;
        }
    }
    return bound;
}

namespace {

const Value& operandValue(const Criterion::Node::Operand& o, const std::vector<int>& columns,
                          const std::vector<Value>& row) {
    return o.field < 0 ? o.literal : row[size_t(columns[size_t(o.field)])];
}

// A text value without a copy of it, or `storage` made from any other value.
QStringView textOf(const QVariant& v, QString* storage) {
    if (v.typeId() == QMetaType::QString)
        return *static_cast<const QString*>(v.constData());
    *storage = v.toString();
    return *storage;
}

Tri compare(Criterion::Node::Op op, const Value& a, const Value& b, bool numericLiteral) {
    using Node = Criterion::Node;
    if (a.isNull() || b.isNull())
        return Tri::Unknown;
    const QVariant& x = a.variant();
    const QVariant& y = b.variant();
    // Two values compare as numbers only when both read as numbers and a
    // number literal or two typed values ask for it: a text key against a
    // text column never needs the number parse.
    const bool byNumber =
        numericLiteral || (x.typeId() != QMetaType::QString && y.typeId() != QMetaType::QString);
    int order;
    double dx, dy;
    if (byNumber && asNumber(x, &dx) && asNumber(y, &dy)) {
        order = dx < dy ? -1 : (dx > dy ? 1 : 0);
    } else {
        QString xs, ys;
        order = textOf(x, &xs).compare(textOf(y, &ys), Qt::CaseInsensitive);
    }
    switch (op) {
        case Node::Equal:
            return order == 0 ? Tri::True : Tri::False;
        case Node::NotEqual:
            return order != 0 ? Tri::True : Tri::False;
        case Node::Less:
            return order < 0 ? Tri::True : Tri::False;
        case Node::Greater:
            return order > 0 ? Tri::True : Tri::False;
        case Node::LessOrEqual:
            return order <= 0 ? Tri::True : Tri::False;
        case Node::GreaterOrEqual:
            return order >= 0 ? Tri::True : Tri::False;
    }
    return Tri::Unknown;
}

Tri evaluate(const Criterion::Node& n, const std::vector<int>& columns,
             const std::vector<Value>& row) {
    using Node = Criterion::Node;
    switch (n.kind) {
        case Node::And: {
            const Tri l = evaluate(*n.left, columns, row);
            if (l == Tri::False)
                return Tri::False;
            const Tri r = evaluate(*n.right, columns, row);
            if (r == Tri::False)
                return Tri::False;
            return (l == Tri::True && r == Tri::True) ? Tri::True : Tri::Unknown;
        }
        case Node::Or: {
            const Tri l = evaluate(*n.left, columns, row);
            if (l == Tri::True)
                return Tri::True;
            const Tri r = evaluate(*n.right, columns, row);
            if (r == Tri::True)
                return Tri::True;
            return (l == Tri::False && r == Tri::False) ? Tri::False : Tri::Unknown;
        }
        case Node::Not:
            return !evaluate(*n.left, columns, row);
        case Node::IsNull: {
            const bool isNull = operandValue(n.a, columns, row).isNull();
            return (isNull != n.negate) ? Tri::True : Tri::False;
        }
        case Node::Compare:
            return compare(n.op, operandValue(n.a, columns, row), operandValue(n.b, columns, row),
                           n.a.numeric || n.b.numeric);
    }
    return Tri::Unknown;
}

}  // namespace

std::vector<Criterion::KeyTerm> Criterion::keyTerms() const {
    std::vector<KeyTerm> terms;
    std::vector<const Node*> pending{m_root.get()};
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();
        if (n->kind == Node::And) {
            pending.push_back(n->right.get());
            pending.push_back(n->left.get());
        } else if (n->kind == Node::IsNull && n->a.field >= 0) {
            terms.push_back({n->negate ? KeyTerm::IsNotNull : KeyTerm::IsNull, n->a.field, {}});
        } else if (n->kind == Node::Compare && n->op == Node::Equal) {
            const Node::Operand& field = n->a.field >= 0 ? n->a : n->b;
            const Node::Operand& literal = n->a.field >= 0 ? n->b : n->a;
            // A number compares by value with numbers and by text with
            // texts: no single server comparison says the same.
            if (field.field >= 0 && literal.field < 0 && !literal.numeric)
                terms.push_back(
                    {KeyTerm::Equals, field.field, literal.literal.variant().toString()});
        }
    }
    return terms;
}

namespace {

// The code points that fold to the same text, for every fold shared by more
// than one; the planes above the first two hold no cased letters.
const QHash<char32_t, QList<char32_t>>& foldClasses() {
    static const auto classes = [] {
        QHash<char32_t, QList<char32_t>> map;
        for (char32_t c = 0; c < 0x20000; ++c) {
            const char32_t folded = QChar::toCaseFolded(c);
            if (folded != c)
                map[folded].append(c);
        }
        for (auto it = map.begin(); it != map.end(); ++it)
            it->prepend(it.key());
        return map;
    }();
    return classes;
}

// The code points that compare equal to `c`. Keys are mostly ASCII, and the
// table above takes a scan of two planes to build: an ASCII character's
// class is known without it. Only the long s and the Kelvin sign fold onto
// ASCII letters from outside.
QList<char32_t> foldClassOf(char32_t c) {
    if (c < 0x80) {
        const char32_t lower = QChar::toLower(c);
        if (lower == U's')
            return {lower, U'\u017F'};
        if (lower == U'k')
            return {lower, U'\u212A'};
        return {lower};
    }
    const auto found = foldClasses().constFind(QChar::toCaseFolded(c));
    return found == foldClasses().constEnd() ? QList<char32_t>{c} : found.value();
}

// equalTexts() for a text of ASCII characters other than NUL, the form of
// nearly every key: its lower case, with each s and k also in the one other
// form that folds onto it. The texts come in the order the general way
// makes them.
std::optional<QStringList> asciiEqualTexts(const QString& text, int limit) {
    std::vector<qsizetype> twoForms;  // where s and k stand
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t lower = char16_t(QChar::toLower(text[i].unicode()));
        if (lower == u's' || lower == u'k')
            twoForms.push_back(i);
    }
    if (!text.isEmpty() && (twoForms.size() >= 31 || (qsizetype(1) << twoForms.size()) > limit))
        return std::nullopt;
    const QString lower = text.toLower();
    QStringList texts;
    const int count = 1 << twoForms.size();
    texts.reserve(count);
    for (int pick = 0; pick < count; ++pick) {
        QString form = lower;
        for (size_t j = 0; j < twoForms.size(); ++j) {
            if (pick & (1 << (twoForms.size() - 1 - j))) {
                QChar& c = form[twoForms[j]];
                c = c == u's' ? QChar(u'\u017F') : QChar(u'\u212A');
            }
        }
        texts << form;
    }
    return texts;
}

}  // namespace

std::optional<QStringList> Criterion::equalTexts(const QString& text, int limit) {
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() - 1u < 0x7Fu; }))
        return asciiEqualTexts(text, limit);
    QStringList texts{QString()};
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c) || c == 0xFFFD || c == 0) {
            // A database hands back what it cannot decode as U+FFFD, and a
            // server may refuse NUL outright.
            return std::nullopt;
        }
        QStringList forms;
        for (const char32_t member : foldClassOf(c)) {
            const char32_t form = member < 0x80 ? QChar::toLower(member) : member;
            const QString piece = QString::fromUcs4(&form, 1);
            if (!forms.contains(piece))
                forms << piece;
        }
        if (texts.size() * forms.size() > limit)
            return std::nullopt;
        QStringList longer;
        for (const QString& head : std::as_const(texts))
            for (const QString& piece : std::as_const(forms))
                longer << head + piece;
        texts = std::move(longer);
    }
    return texts;
}

bool Criterion::matches(const std::vector<Value>& row, const std::vector<int>& columns) const {
    return evaluate(*m_root, columns, row) == Tri::True;
}

}  // namespace zx::db
