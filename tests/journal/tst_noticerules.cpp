#include "journal/NoticeRules.h"

#include <QtTest>

Q_DECLARE_METATYPE(JournalKind)
Q_DECLARE_METATYPE(NoticeReason)

namespace {
PolledChange change(long seq, const QString& actor, JournalKind kind, const QString& field,
                    const QString& oldValue, const QString& newValue)
{
    PolledChange c;
    c.entry.seq = seq;
    c.entry.userId = actor;
    c.entry.kind = kind;
    c.entry.field = field;
    c.entry.oldValue = oldValue;
    c.entry.newValue = newValue;
    c.title = QStringLiteral("급여 계산 오류");
    c.askId = QStringLiteral("ask");
    c.ansId = QStringLiteral("ans");
    c.chargeId = QStringLiteral("chief");
    return c;
}
} // namespace

class NoticeRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void whoIsToldOfWhat_data();
    void whoIsToldOfWhat();
    void changeTexts_data();
    void changeTexts();
    void aBurstIsOneNotice();
    void manyNoticesOfOneLookAreCounted();
};

void NoticeRulesTest::whoIsToldOfWhat_data()
{
    QTest::addColumn<QString>("me");
    QTest::addColumn<QString>("actor");
    QTest::addColumn<JournalKind>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("newValue");
    QTest::addColumn<NoticeReason>("reason");
    using K = JournalKind;
    using R = NoticeReason;
    const QString s = QStringLiteral("x");
    // The person in charge of the program learns of new requests.
    QTest::newRow("new request, in charge") << "chief"
                                            << "ask" << K::RequestAdded << "title" << s << R::NewRequestForMe;
    QTest::newRow("new request by an old client")
        << "chief"
        << "" << K::RequestAdded << "title" << s << R::NewRequestForMe;
    QTest::newRow("own new request, in charge") << "chief"
                                                << "chief" << K::RequestAdded << "title" << s << R::None;
    QTest::newRow("new request, not in charge") << "ans"
                                                << "ask" << K::RequestAdded << "title" << s << R::None;
    // The asker learns of answers and status changes.
    QTest::newRow("answered") << "ask"
                              << "ans" << K::FieldChanged << "solution" << s << R::MyRequestAnswered;
    QTest::newRow("answer picture") << "ask"
                                    << "ans" << K::FieldChanged << "sshot6" << s << R::MyRequestAnswered;
    QTest::newRow("answer emptied") << "ask"
                                    << "ans" << K::FieldChanged << "solution"
                                    << "" << R::None;
    QTest::newRow("question picture") << "ask"
                                      << "ans" << K::FieldChanged << "sshot5" << s << R::None;
    QTest::newRow("status") << "ask"
                            << "ans" << K::FieldChanged << "status" << s << R::MyRequestStatusChanged;
    QTest::newRow("own status change") << "ask"
                                       << "ask" << K::FieldChanged << "status" << s << R::None;
    QTest::newRow("title by someone") << "ask"
                                      << "ans" << K::FieldChanged << "title" << s << R::None;
    // The answerer learns of the asker's changes, not of others'.
    QTest::newRow("asker edits") << "ans"
                                 << "ask" << K::FieldChanged << "errtext" << s << R::MyAnswerChangedByAsker;
    QTest::newRow("asker adds a company")
        << "ans"
        << "ask" << K::CompanyAdded << "comname" << s << R::MyAnswerChangedByAsker;
    QTest::newRow("third user edits") << "ans"
                                      << "chief" << K::FieldChanged << "errtext" << s << R::None;
    QTest::newRow("old client edits") << "ans"
                                      << "" << K::FieldChanged << "errtext" << s << R::None;
    QTest::newRow("deleted") << "ans"
                             << "ask" << K::RequestDeleted << "title" << s << R::None;
    QTest::newRow("nobody logged in") << ""
                                      << "ask" << K::RequestAdded << "title" << s << R::None;
}

void NoticeRulesTest::whoIsToldOfWhat()
{
    QFETCH(QString, me);
    QFETCH(QString, actor);
    QFETCH(JournalKind, kind);
    QFETCH(QString, field);
    QFETCH(QString, newValue);
    QFETCH(NoticeReason, reason);
    PolledChange c = change(7, actor, kind, field, {}, newValue);
    if (me.isEmpty())
        c.chargeId.clear();
    QCOMPARE(NoticeReasonFor(c, me), reason);
}

void NoticeRulesTest::changeTexts_data()
{
    QTest::addColumn<JournalKind>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("oldValue");
    QTest::addColumn<QString>("newValue");
    QTest::addColumn<QString>("text");
    using K = JournalKind;
    QTest::newRow("status") << K::FieldChanged << "status"
                            << "요청대기"
                            << "단기예정(1~2주이내)"
                            << "상태: 요청대기 → 단기예정(1~2주이내)";
    QTest::newRow("answerer set") << K::FieldChanged << "user_a"
                                  << ""
                                  << "kim"
                                  << "처리자: (없음) → kim";
    QTest::newRow("solution") << K::FieldChanged << "solution"
                              << "a"
                              << "b"
                              << "해결책 변경";
    QTest::newRow("first solution") << K::FieldChanged << "solution"
                                    << ""
                                    << "b"
                                    << "해결책 등록";
    QTest::newRow("request text") << K::FieldChanged << "errtext"
                                  << "a"
                                  << "b"
                                  << "요청내용 변경";
    QTest::newRow("picture added") << K::FieldChanged << "sshot2"
                                   << ""
                                   << "\\\\fs\\a.jpg"
                                   << "스샷 2 추가";
    QTest::newRow("picture removed") << K::FieldChanged << "sshot10"
                                     << "\\\\fs\\a.jpg"
                                     << ""
                                     << "답변 스샷 5 삭제";
    QTest::newRow("picture replaced") << K::FieldChanged << "sshot1"
                                      << "a"
                                      << "b"
                                      << "스샷 1 변경";
    QTest::newRow("added") << K::RequestAdded << "title"
                           << ""
                           << "급여 오류"
                           << "요청 등록: 급여 오류";
    QTest::newRow("deleted") << K::RequestDeleted << "title"
                             << "급여 오류"
                             << ""
                             << "요청 삭제: 급여 오류";
    QTest::newRow("company added") << K::CompanyAdded << "comname"
                                   << ""
                                   << "(주)한빛상사"
                                   << "업체 추가: (주)한빛상사";
    QTest::newRow("company renamed") << K::CompanyChanged << "comname"
                                     << "한빛"
                                     << "(주)한빛상사"
                                     << "업체 변경: 한빛 → (주)한빛상사";
    QTest::newRow("company removed") << K::CompanyRemoved << "comname"
                                     << "똠"
                                     << ""
                                     << "업체 삭제: 똠";
}

void NoticeRulesTest::changeTexts()
{
    QFETCH(JournalKind, kind);
    QFETCH(QString, field);
    QFETCH(QString, oldValue);
    QFETCH(QString, newValue);
    QFETCH(QString, text);
    QCOMPARE(ChangeText(change(1, {}, kind, field, oldValue, newValue).entry), text);
}

void NoticeRulesTest::aBurstIsOneNotice()
{
    // A save of record 7 by its answerer (four fields), a change of record 8 by the
    // asker's own hand, and a new record 9: the asker is told once, of record 7.
    const QList<PolledChange> changes{
        change(7, QStringLiteral("ans"), JournalKind::FieldChanged, QStringLiteral("user_a"), {},
               QStringLiteral("ans")),
        change(7, QStringLiteral("ans"), JournalKind::FieldChanged, QStringLiteral("solution"), {},
               QStringLiteral("풀이")),
        change(8, QStringLiteral("ask"), JournalKind::FieldChanged, QStringLiteral("status"), {},
               QStringLiteral("배포완료")),
        change(7, QStringLiteral("ans"), JournalKind::FieldChanged, QStringLiteral("status"),
               QStringLiteral("요청대기"), QStringLiteral("배포완료")),
        change(9, QStringLiteral("chief"), JournalKind::RequestAdded, QStringLiteral("title"), {},
               QStringLiteral("새 건")),
    };
    const QList<Notice> notices = NoticesFor(changes, QStringLiteral("ask"));
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices[0].seq, 7L);
    QCOMPARE(notices[0].reason, NoticeReason::MyRequestAnswered);
    QCOMPARE(NoticeSummary(notices[0]), QStringLiteral("A/S 7: 급여 계산 오류"));
    QCOMPARE(NoticeBody(notices[0]),
             QStringLiteral("요청하신 건에 답변이 등록되었습니다.\n처리자: (없음) → ans\n"
                            "해결책 등록\n상태: 요청대기 → 배포완료"));
    QCOMPARE(NoticesFor(changes, QStringLiteral("chief")).size(), 0);
    const QList<Notice> answerer = NoticesFor(changes, QStringLiteral("ans"));
    QCOMPARE(answerer.size(), 1);
    QCOMPARE(answerer[0].seq, 8L);
}

void NoticeRulesTest::manyNoticesOfOneLookAreCounted()
{
    QList<Notice> notices;
    for (long seq = 1; seq <= 12; ++seq)
        notices << Notice{seq, QStringLiteral("건 %1").arg(seq), NoticeReason::NewRequestForMe, {}};
    QCOMPARE(LimitNotices(notices, 5).size(), 5);
    QCOMPARE(LimitNotices(notices.mid(0, 5), 5), notices.mid(0, 5));
    const QList<Notice> limited = LimitNotices(notices, 5);
    QCOMPARE(limited[0].seq, 8L);
    QCOMPARE(NoticeBody(limited[0]),
             QStringLiteral("새 요청이 등록되었습니다.\n이 건을 포함해 8건의 요청이 바뀌었습니다."));
    QCOMPARE(limited[4].seq, 12L);
}

QTEST_GUILESS_MAIN(NoticeRulesTest)
#include "tst_noticerules.moc"
