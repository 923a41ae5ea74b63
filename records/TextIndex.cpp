#include "records/TextIndex.h"

#include "common/Cp949.h"
#include "db/DbStartup.h"
#include "db/Query.h"

#include <QHash>
#include <algorithm>

namespace {

// How many grams of one text are weighed, and how many of the rarest are matched:
// more add little but index reads.
const int kWeighedGrams = 8;
const int kMatchedGrams = 4;

bool indexable(uint code)
{
    return code > 127 || (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
           (code >= 'a' && code <= 'z');
}

uint folded(uint code)
{
    return code >= 'a' && code <= 'z' ? code - 32 : code;
}

// The characters of a CP949 text as their codes (a double-byte character as
// lead * 256 + trail).
QList<uint> characterCodes(const QByteArray& bytes)
{
    QList<uint> codes;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uint b = uchar(bytes[i]);
        if (b > 0x80 && i + 1 < bytes.size())
            codes << (b << 8 | uchar(bytes[++i]));
        else
            codes << b;
    }
    return codes;
}

// Up to `n` grams spread over the whole text.
QList<TextGram> spread(const QList<TextGram>& grams, int n)
{
    if (grams.size() <= n)
        return grams;
    QList<TextGram> picked;
    for (int i = 0; i < n; ++i)
        picked << grams[qsizetype(i) * (grams.size() - 1) / (n - 1)];
    return picked;
}

QString gramCondition(const QString& alias, TextKind kind, TextGram gram)
{
    return QStringLiteral("%1.col = %2 AND %1.gram = %3").arg(alias).arg(int(kind)).arg(gram);
}

// The records of the rows of a match statement.
QList<qint64> matchedSeqs(RecordSet* rs)
{
    QList<qint64> seqs;
    for (; rs && !rs->Eof(); rs->MoveNext()) {
        const qint64 block = rs->Field(0).toLongLong();
        const quint64 bits = rs->Field(1).toULongLong();
        for (int bit = 0; bit < 64; ++bit)
            if (bits >> bit & 1)
                seqs << block * 64 + bit;
    }
    std::sort(seqs.begin(), seqs.end());
    seqs.erase(std::unique(seqs.begin(), seqs.end()), seqs.end());
    return seqs;
}

QList<qint64> intersection(const QList<qint64>& a, const QList<qint64>& b)
{
    QList<qint64> both;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(both));
    return both;
}

struct IndexState
{
    const cMySQL* connection = nullptr;
    unsigned long threadId = 0;
    bool ready = false;
};

} // namespace

QList<TextGram> TextGrams(const QString& text)
{
    // The statement carries a text up to its first NUL (EscapeLike).
    const QList<uint> codes = characterCodes(cp949::encode(text.left(text.indexOf(QChar(0)))));
    QList<TextGram> grams;
    for (qsizetype i = 0; i + 1 < codes.size(); ++i) {
        if (!indexable(codes[i]) || !indexable(codes[i + 1]))
            continue;
        const TextGram gram = folded(codes[i]) << 16 | folded(codes[i + 1]);
        if (!grams.contains(gram))
            grams << gram;
    }
    return grams;
}

QString TextGramCountStatement(const QList<std::pair<TextKind, TextGram>>& grams)
{
    // Rows of the bitmaps and of the triggers' recent grams, each counted up to the limit.
    const QString count =
        QStringLiteral("(SELECT COUNT(*) FROM (SELECT 1 FROM %1 AS g WHERE %2 LIMIT %3) AS t)");
    QStringList parts;
    for (const auto& [kind, gram] : grams) {
        const QString condition = gramCondition(QStringLiteral("g"), kind, gram);
        parts << QStringLiteral(" SELECT %1 AS col, %2 AS gram, ").arg(int(kind)).arg(gram) +
                     count.arg(QStringLiteral("astext_gram"), condition).arg(kCommonGramRows) +
                     QStringLiteral(" + ") +
                     count.arg(QStringLiteral("astext_new"), condition).arg(kCommonGramRows) +
                     QStringLiteral(" AS n");
    }
    return parts.join(QStringLiteral(" UNION ALL"));
}

QString TextMatchStatement(TextKind kind, const QList<TextGram>& grams)
{
    // The bitmaps of the blocks that hold every gram, the recent grams' records that
    // hold every gram, and the records noted as not indexed.
    QString bits = QStringLiteral("g0.bits");
    QString blockJoins, recordJoins;
    for (qsizetype i = 1; i < grams.size(); ++i) {
        const QString g = QStringLiteral("g%1").arg(i), n = QStringLiteral("n%1").arg(i);
        bits += QStringLiteral(" & ") + g + QStringLiteral(".bits");
        blockJoins += QStringLiteral(" JOIN astext_gram AS %1 ON ").arg(g) +
                      gramCondition(g, kind, grams[i]) + QStringLiteral(" AND %1.blk = g0.blk").arg(g);
        recordJoins += QStringLiteral(" JOIN astext_new AS %1 ON ").arg(n) +
                       gramCondition(n, kind, grams[i]) + QStringLiteral(" AND %1.seq = n0.seq").arg(n);
    }
    return QStringLiteral(" SELECT STRAIGHT_JOIN g0.blk, ") + bits +
           QStringLiteral(" AS bits FROM astext_gram AS g0") + blockJoins + QStringLiteral(" WHERE ") +
           gramCondition(QStringLiteral("g0"), kind, grams.value(0)) +
           QStringLiteral(
               " UNION ALL SELECT STRAIGHT_JOIN n0.seq >> 6, 1 << (n0.seq & 63) FROM astext_new AS n0") +
           recordJoins + QStringLiteral(" WHERE ") +
           gramCondition(QStringLiteral("n0"), kind, grams.value(0)) +
           QStringLiteral(" UNION ALL SELECT seq >> 6, 1 << (seq & 63) FROM astext_miss");
}

bool TextIndexReady()
{
    static IndexState state;
    cMySQL* conn = gDBIndex >= 0 && gDBIndex < 2 ? gDB[size_t(gDBIndex)].get() : nullptr;
    if (!conn || !conn->isConnected())
        return false;
    const unsigned long threadId = conn->thread_id();
    if (conn != state.connection || threadId != state.threadId) {
        // Asked of the catalogue, which every server has: no error, no log line.
        RecordSetPtr rs =
            conn->query(QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES"
                                       " WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'astext_ready'"),
                        true);
        state = {conn, threadId, rs && !rs->Eof() && rs->Field(0).toInt() > 0};
        conn->free_result();
    }
    return state.ready;
}

SeqRestriction FindTextCandidates(const ListFilters& f)
{
    QList<std::pair<TextKind, TextGram>> weighed;
    for (int i = 0; i < 3; ++i)
        if (!f.findMemo[i].isEmpty())
            for (TextGram gram : spread(TextGrams(f.findMemo[i]), kWeighedGrams))
                weighed.append({TextKind(i), gram});
    if (weighed.isEmpty() || !TextIndexReady())
        return std::nullopt;

    RecordSetPtr rs;
    OpenRecordset(rs, TextGramCountStatement(weighed));
    QHash<quint64, int> rows; // kind << 32 | gram -> rows in the index
    for (; rs && !rs->Eof(); rs->MoveNext())
        rows.insert(rs->Field(0).toULongLong() << 32 | rs->Field(1).toULongLong(), rs->Field(2).toInt());
    CloseRecordset(rs);
    if (rows.size() != weighed.size())
        return std::nullopt; // the server refused: search as without the index

    // Each text whose rarest gram is not common narrows, and so may one of several common
    // grams (pairs common alone, rare together: a code, a name with a number); the rarest
    // text first, and a text of common grams only when no other narrows.
    QList<std::pair<int, std::pair<TextKind, QList<TextGram>>>> narrowing;
    for (int i = 0; i < 3; ++i) {
        QList<TextGram> grams;
        for (const auto& [kind, gram] : weighed)
            if (kind == TextKind(i))
                grams << gram;
        auto count = [&](TextGram g) { return rows.value(quint64(i) << 32 | g); };
        std::stable_sort(grams.begin(), grams.end(),
                         [&](TextGram a, TextGram b) { return count(a) < count(b); });
        if (!grams.isEmpty() && (count(grams.first()) < kCommonGramRows || grams.size() > 1))
            narrowing.append({count(grams.first()), {TextKind(i), grams.mid(0, kMatchedGrams)}});
    }
    if (narrowing.isEmpty())
        return std::nullopt;
    std::stable_sort(narrowing.begin(), narrowing.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    SeqRestriction candidates;
    for (const auto& [count, text] : narrowing) {
        if (candidates && count >= kCommonGramRows)
            break;
        OpenRecordset(rs, TextMatchStatement(text.first, text.second));
        const bool failed = !rs;
        const QList<qint64> seqs = matchedSeqs(rs.get());
        CloseRecordset(rs);
        if (failed)
            return std::nullopt;
        candidates = candidates ? intersection(*candidates, seqs) : seqs;
        if (candidates->isEmpty())
            break;
    }
    if (candidates->size() > kMaxTextCandidates)
        return std::nullopt;
    return candidates;
}
