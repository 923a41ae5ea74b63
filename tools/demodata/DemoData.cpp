#include "DemoData.h"

#include "DemoTexts.h"
#include "Screenshots.h"
#include "db/Query.h"

#include <random>

namespace {

struct Program
{
    int code;
    const char* name;
    int group;
    const char* charge;
    int hidden;
};

struct User
{
    const char* id;
    const char* name;
    const char* password;
    int group;
    int hidden;
};

const Program kPrograms[] = {
    {101, "누리셈II 급여", 2, "kimsj", 0},  {102, "누리셈II 인사", 2, "kimsj", 0},
    {103, "누리셈II 회계", 2, "leeyh", 0},  {104, "누리셈II 세무", 2, "leeyh", 0},
    {105, "누리셈II 근태", 2, "parkjm", 0}, {201, "타벤 ERP", 1, "hqt", 0},
    {202, "타벤 그룹웨어", 1, "choihs", 0}, {203, "타벤 전자결재", 1, "choihs", 0},
    {301, "모바일 출퇴근", 3, "jungmk", 0}, {302, "웹 포털", 3, "kangdw", 0},
    {401, "구버전 관리도구", 3, "hqt", 1},  {402, "내부 테스트용", 1, "hqt", 1},
};

const User kUsers[] = {
    {"hqt", "홍규태", "demo", 1, 0},    {"kimsj", "김서진", "1234", 1, 0},
    {"leeyh", "이영희", "1234", 1, 0},  {"parkjm", "박지민", "1234", 2, 0},
    {"choihs", "최현수", "1234", 2, 0}, {"jungmk", "정민경", "1234", 3, 0},
    {"kangdw", "강동원", "1234", 3, 0}, {"ttom", "똠방각", "1234", 4, 0},
    {"yoonsh", "윤서현", "1234", 4, 1}, {"retired", "퇴사자", "1234", 1, 1},
};

const char* const kStatuses[] = {"요청대기",          "장기예정(2주이상지체)", "단기예정(1~2주이내)",
                                 "배포완료",          "해결불가(원인불명)",    "환경문제",
                                 "환경문제(사용문제)"};
QString u(const char* text)
{
    return QString::fromUtf8(text);
}
QString q(const QString& text)
{
    return QLatin1Char('\'') + EscapeSQL(text) + QLatin1Char('\'');
}

} // namespace

QString ShareFilePath(const QString& host, const QString& fileName)
{
    return QStringLiteral("\\\\") + host + QStringLiteral("\\사내문서\\7_AS스샷\\") + fileName;
}

void WriteDemoSql(const DemoOptions& o, const std::function<void(const QString&)>& write)
{
    std::mt19937 rng(20261201);
    auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
    DemoTexts texts(20261202);

    write(QStringLiteral("SET NAMES euckr;\nSET autocommit = 0;\n"));
    QStringList rows;
    for (const Program& p : kPrograms)
        rows << QStringLiteral("(%1, %2, %3, %4, %5, %6, %7)")
                    .arg(p.code)
                    .arg(q(u(p.name)), q(u(p.name) + QStringLiteral(" 제품")))
                    .arg(p.group)
                    .arg(q(u(p.charge)))
                    .arg(p.hidden)
                    .arg(p.code % 100 + p.group * 100);
    write(QStringLiteral("INSERT INTO part (code, name, note, groupid, chargeid, hidden, sortord) VALUES\n") +
          rows.join(QStringLiteral(",\n")) + QStringLiteral(";\n"));

    rows.clear();
    for (const User& user : kUsers)
        rows << QStringLiteral("(%1, %2, %3, %4, %5)")
                    .arg(q(u(user.id)), q(u(user.name)), q(u(user.password)))
                    .arg(user.group)
                    .arg(user.hidden);
    write(QStringLiteral("INSERT INTO user (id, name, password, groupcode, hidden) VALUES\n") +
          rows.join(QStringLiteral(",\n")) + QStringLiteral(";\n"));

    rows = {QStringLiteral("('kimsj', '00163E5A0001', 0)"), QStringLiteral("('leeyh', '00163E5A0002', 0)"),
            QStringLiteral("('parkjm', '00163E5A0003', 1)")};
    if (!o.pcMac.isEmpty())
        rows << QStringLiteral("('hqt', %1, 0)").arg(q(o.pcMac));
    write(QStringLiteral("INSERT INTO user_mac (user_id, mac_addr, block) VALUES\n") +
          rows.join(QStringLiteral(",\n")) + QStringLiteral(";\n"));

    // Pictures belong to the newest records, whose screen names match their files.
    QHash<int, QStringList> shotPaths; // seq -> ten slot paths
    QHash<int, QString> shotForms;
    for (const DemoShot& shot : DemoShots()) {
        const int seq = o.records - shot.newest;
        QStringList& paths = shotPaths[seq];
        if (paths.isEmpty())
            paths = QStringList(10, QString());
        paths[shot.slot] = ShareFilePath(
            o.shareHost, QStringLiteral("%1_%2_%3.jpg").arg(seq).arg(shot.formName).arg(shot.slot));
        shotForms[seq] = shot.formName;
    }

    const int visiblePrograms = 10;
    const int activeUsers = 8;
    const qint64 spanMinutes = 2LL * 365 * 24 * 60;
    const qint64 step = std::max<qint64>(1, spanMinutes / std::max(1, o.records));
    const QDateTime newest(o.baseDate, QTime(18, 0));
    const int batch = 500;
    QStringList records, companies;
    int companySeq = 0;
    auto flush = [&] {
        if (!records.isEmpty())
            write(QStringLiteral(
                      "INSERT INTO aslist (seq, appcode, formname, title, errtext, sshot1, sshot2, sshot3, "
                      "sshot4, sshot5, sshot6, sshot7, sshot8, sshot9, sshot10, user_q, user_a, qusdate, "
                      "ftpdate, solution, status) VALUES\n") +
                  records.join(QStringLiteral(",\n")) + QStringLiteral(";\n"));
        if (!companies.isEmpty())
            write(QStringLiteral(
                      "INSERT INTO ascomp (seq, `user`, comname, writedate, memo, ascode) VALUES\n") +
                  companies.join(QStringLiteral(",\n")) + QStringLiteral(";\n"));
        write(QStringLiteral("COMMIT;\n"));
        records.clear();
        companies.clear();
    };

    for (int seq = 1; seq <= o.records; ++seq) {
        const int age = o.records - seq; // 0 = newest
        const Program& program = kPrograms[pick(visiblePrograms)];
        const QString form = shotForms.value(seq, texts.screenName());
        // Recent requests mostly wait; older ones are mostly released.
        const int status = age < 8 ? (age % 4 == 0 ? 1 : 0) : age % 11 < 7 ? age % 7 : 3;
        const QString statusText = u(kStatuses[status]);
        const bool answered = status != 0;
        QString asker = u(kUsers[pick(activeUsers)].id);
        if (age == 5)
            asker = QStringLiteral("1"); // saved with "[전체]" as asker
        const QString answerer = answered ? u(kUsers[pick(3)].id) : QString();
        const QDateTime asked = newest.addSecs(-60 * step * age);
        const QString askedText = asked.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        const QString done = status == 3
                                 ? asked.addDays(1 + pick(20)).toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                 : QString();
        const QString solution = answered ? texts.solutionText() : QString();
        const QStringList paths = shotPaths.value(seq, QStringList(10, QString()));
        QStringList shots;
        for (const QString& path : paths)
            shots << q(path);
        records << QStringLiteral("(%1, %2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12)")
                       .arg(seq)
                       .arg(program.code)
                       .arg(q(form), q(texts.title(form)), q(texts.requestText()),
                            shots.join(QStringLiteral(", ")), q(asker), q(answerer), q(askedText), q(done),
                            q(solution))
                       .arg(q(statusText));
        // Every record keeps at least one company, but one demonstrates a record without.
        if (age != 2) {
            const int count = 1 + seq % 3;
            for (int c = 0; c < count; ++c)
                companies << QStringLiteral("(%1, %2, %3, %4, %5, %6)")
                                 .arg(++companySeq)
                                 .arg(q(asker == QStringLiteral("1") ? QStringLiteral("hqt") : asker),
                                      q(texts.companyName()), q(askedText),
                                      q(c == 0 ? QStringLiteral("최초 접수") : QStringLiteral("추가 문의")))
                                 .arg(seq);
        }
        if (seq % batch == 0)
            flush();
    }
    flush();
}
