#include "KeyedScan.h"

#include "Criterion.h"

#include "core/Ascii.h"

using namespace Qt::Literals::StringLiterals;

namespace zx::db {

namespace {

// Fold classes multiply: a key of a few letters with several of them stays
// a short IN list; past this, the lookup is not worth it.
constexpr int MaxEqualTexts = 16;

QString quotedName(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

}  // namespace

KeyedScan::KeyedScan(QString table, const RowSource& scan, Dialect dialect, Run run)
    : m_table(std::move(table)),
      m_columns(scan.columns()),
      m_dialect(std::move(dialect)),
      m_run(std::move(run)) {
    for (int i = 0; i < m_columns.size(); ++i)
        m_text << scan.isTextColumn(i);
}

// "select * from <table>": the words in any case, blanks between them and
// around, and a ';' at the end.
std::optional<QString> KeyedScan::tableOf(const QString& sent) {
    const QStringView text(sent);
    qsizetype at = 0;
    const auto blanks = [&] {
        const qsizetype from = at;
        while (at < text.size() && ascii::isBlank(text[at]))
            ++at;
        return at > from;
    };
    const auto word = [&](QLatin1StringView expected) {
        if (!text.mid(at).startsWith(expected, Qt::CaseInsensitive))
            return false;
        at += expected.size();
        return true;
    };
    blanks();
    if (!word("select"_L1) || !blanks() || !word("*"_L1) || !blanks() || !word("from"_L1) ||
        !blanks() || at == text.size() || !(ascii::isLetter(text[at]) || text[at] == u'_'))
        return std::nullopt;
    const qsizetype name = at;
    while (at < text.size() && ascii::isWordChar(text[at]))
        ++at;
    const qsizetype nameEnd = at;
    blanks();
    if (at < text.size() && text[at] == u';')
        ++at;
    blanks();
    if (at != text.size())
        return std::nullopt;
    return sent.mid(name, nameEnd - name);
}

std::shared_ptr<KeyedScan> KeyedScan::of(const QString& sent, const RowSource& scan,
                                         Dialect dialect, Run run) {
    const auto table = tableOf(sent);
    if (!table)
        return nullptr;
    return std::shared_ptr<KeyedScan>(
        new KeyedScan(*table, scan, std::move(dialect), std::move(run)));
}

std::optional<bool> KeyedScan::find(const Criterion& criterion, const std::vector<int>& columns,
                                    std::vector<Value>* row, Value* position) {
    // Built in one buffer: the loads send forty of these, and each costs
    // the database itself only a few microseconds.
    QString where;
    where.reserve(160);
    QVariantList params;
    bool keyed = false;
    for (const Criterion::KeyTerm& term : criterion.keyTerms()) {
        const int column = columns[size_t(term.field)];
        std::optional<QStringList> texts;
        if (term.kind == Criterion::KeyTerm::Equals) {
            if (!m_text[column] || !(texts = Criterion::equalTexts(term.text, MaxEqualTexts)))
                continue;
        }
        if (!where.isEmpty())
            where += " AND "_L1;
        const QString name = quotedName(m_columns[column]);
        if (term.kind == Criterion::KeyTerm::IsNull) {
            where += name;
            where += " IS NULL"_L1;
        } else if (term.kind == Criterion::KeyTerm::IsNotNull) {
            where += name;
            where += " IS NOT NULL"_L1;
        } else {
            where += m_dialect.foldedColumn.arg(name);
            where += " IN ("_L1;
            qsizetype marks = texts->size();
            for (const int size : std::as_const(m_dialect.listSizes)) {
                if (size >= marks) {
                    marks = size;
                    break;
                }
            }
            for (qsizetype i = 0; i < marks; ++i) {
                if (i > 0)
                    where += u',';
                where += m_dialect.foldedMark;
                params << (i < texts->size() ? QVariant(texts->at(i)) : QVariant());
            }
            where += u')';
            keyed = true;
        }
    }
    if (!keyed)
        return std::nullopt;
    if (!m_ordered)
        m_ordered = m_dialect.scansInOrder(m_table, m_columns);
    if (!*m_ordered)
        return std::nullopt;

    QString sql = "SELECT "_L1;
    sql.reserve(where.size() + 80);
    sql += m_dialect.position;
    sql += ", * FROM "_L1;
    sql += m_table;
    sql += " WHERE "_L1;
    sql += where;
    // A key names one row as a rule: the rows that meet the criterion are
    // then found in any order, sparing the database a sort. Only when two
    // do is the scan's order asked for, and the first of them taken.
    const std::optional<int> met = firstMatch(sql, params, criterion, columns, 2, row, position);
    if (met.value_or(0) < 2)
        return met.has_value() ? std::optional<bool>(*met == 1) : std::nullopt;
    sql += " ORDER BY "_L1;
    sql += m_dialect.position;
    const std::optional<int> first = firstMatch(sql, params, criterion, columns, 1, row, position);
    return first.has_value() ? std::optional<bool>(*first == 1) : std::nullopt;
}

// Reads the rows `sql` offers until `enough` of them meet the criterion;
// the first one into `row` and its position. How many met, up to `enough`;
// nullopt when the statement no longer reads the scan's table.
std::optional<int> KeyedScan::firstMatch(const QString& sql, const QVariantList& params,
                                         const Criterion& criterion,
                                         const std::vector<int>& columns, int enough,
                                         std::vector<Value>* row, Value* position) const {
    const auto candidates = m_run(sql, params);
    if (candidates->columns().size() != m_columns.size() + 1)
        return std::nullopt;
    int met = 0;
    std::vector<Value> candidate;
    candidate.reserve(size_t(m_columns.size()) + 1);
    while (met < enough && candidates->next(candidate)) {
        Value at = std::move(candidate.front());
        candidate.erase(candidate.begin());
        if (criterion.matches(candidate, columns) && met++ == 0) {
            *position = std::move(at);
            *row = std::move(candidate);
        }
        candidate.clear();
    }
    return met;
}

std::unique_ptr<RowSource> KeyedScan::following(const Value& position) const {
    return rowsAfter(m_table, m_dialect, m_run, position);
}

std::unique_ptr<RowSource> KeyedScan::rowsAfter(const QString& table, const Dialect& dialect,
                                                const Run& run, const Value& position) {
    return run(QStringLiteral("SELECT * FROM %1 WHERE %2 ORDER BY %3")
                   .arg(table, dialect.after, dialect.position),
               {position.variant()});
}

}  // namespace zx::db
