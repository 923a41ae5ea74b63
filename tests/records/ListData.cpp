#include "ListData.h"

#include "TestDb.h"
#include "TestEnv.h"
#include "common/SiteConfig.h"
#include "grid/SpreadGrid.h"

bool LoadListData(TestDb& db, const QString& name)
{
    return db.exec(QStringLiteral("USE `%1`").arg(name)) &&
           db.exec(QStringLiteral(
               "INSERT INTO user (id, name, password, groupcode, hidden) VALUES"
               " ('kim', '김철수', 'pw', 1, 0), ('lee', '이영희', 'pw', 1, 0), ('park', '박민수', 'pw', 0, "
               "0),"
               " ('choi', '최숨김', 'pw', 1, 1);"
               "INSERT INTO part (code, name, groupid, chargeid, hidden, sortord) VALUES"
               " (1, '누리셈II', 2, 'kim', 0, 1), (2, '가계부', 2, 'lee', 0, 2), (3, '회계관리', 1, 'lee', "
               "0, 3),"
               " (4, 'Bbox', 0, 'park', 0, 4), (5, 'abc', 0, 'park', 0, 5), (6, '숨김', 0, 'kim', 1, 6);"
               "INSERT INTO aslist (seq, appcode, formname, title, errtext, solution, user_q, user_a, "
               "qusdate,"
               " ftpdate, status) VALUES"
               " (1, 1, 'FrmSale', '매출 저장 오류', '저장 버튼을 누르면 멈춤', '패치 배포', 'kim', 'lee',"
               "  '2026-11-01 09:00', '2026-11-10 18:00', '요청대기'),"
               " (2, 2, 'FrmBuy', '매입 조회', '조회가 느림', '', 'lee', 'kim', '2026-11-02 10:00', '',"
               "  '환경문제(사용문제)'),"
               " (3, 3, 'FrmSaleList', '목록 인쇄', '인쇄 안됨', '드라이버 교체', 'park', '', '2026-11-03 "
               "11:00',"
               "  '', '배포완료'),"
               " (4, 4, 'FrmCfg', '설정', 'It''s broken', '', '', 'park', '2026-11-04 12:00', '', "
               "'환경문제'),"
               " (5, 1, 'FrmNoComp', '업체없음', '업체가 없는 자료', '', 'kim', 'kim', '2026-11-05 13:00', "
               "'',"
               "  '요청대기'),"
               " (6, 5, 'FrmSale', 'O''Brien 문의', '', '', 'kim', '', '2026-11-06 14:00', '',"
               "  '단기예정(1~2주이내)');"
               "INSERT INTO ascomp (seq, user, comname, writedate, ascode) VALUES"
               " (1, 'kim', '대한상사', '2026-11-01 09:00', 1), (2, 'lee', '한국물산', '2026-11-01 10:00', "
               "1),"
               " (3, 'lee', '대한물산', '2026-11-02 10:00', 2), (4, 'park', '서울상사', '2026-11-03 11:00', "
               "3),"
               " (5, 'park', 'O''Brien 상사', '2026-11-04 12:00', 4), (6, 'kim', '부산상사', '2026-11-06 "
               "14:00', 6);"));
}

QString OpenListDatabase(TestEnv& env, const QString& name)
{
    TestDb db;
    if (!env.createDatabase(name) || !LoadListData(db, name))
        return QStringLiteral("cannot prepare %1: %2").arg(name, db.error());
    return env.connect(name) ? QString() : QStringLiteral("cannot connect to %1").arg(name);
}

void UseShareFolder(const QString& mountRoot)
{
    SiteConfig site = Site();
    site.shareHost = QStringLiteral("demoshare");
    site.mountRoot = mountRoot;
    SetSiteForTesting(site);
}

QString GridCell(const SpreadGrid* grid, int col, int row)
{
    QString value;
    grid->GetText(col, row, value);
    return value;
}
