#include "DemoTexts.h"

#include <algorithm>
#include <cmath>

namespace {

QStringList words(const char* list)
{
    return QString::fromUtf8(list).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// Business stems and the endings that make compounds of them.
const char* const kStems =
    "급여 인사 회계 세무 근태 매출 매입 거래처 전표 결재 사원 부서 연말정산 원천세 부가세 "
    "세금계산서 영수증 재고 창고 품목 단가 견적 주문 발주 납품 출고 입고 반품 정산 수금 "
    "지급 어음 통장 계좌 카드 예산 결산 손익 대차 자산 감가상각 고정자산 퇴직금 상여 수당 "
    "공제 보험 연금 건강보험 고용보험 휴가 연차 출장 교육 평가 승진 발령 계약 프로젝트 "
    "일정 게시판 메일 문서 양식 권한 사용자 비밀번호 로그인 환경설정 백업 복원 인쇄 "
    "엑셀 화면 메뉴 버튼 조회조건 검색 합계 소계 잔액 이월 마감 배포 패치 업데이트 "
    "서버 네트워크 프린터 모니터 노트북 바코드 라벨 도장 서명 첨부파일 알림 모바일";
const char* const kEndings = "관리 조회 등록 입력 수정 삭제 현황 내역 집계 계산 출력 목록 대장 명세 보고서 "
                             "설정 처리 마감 변경 이력 승인 요청 확인 오류 누락 검증 분석 통계 기준 코드";
const char* const kAscii = "ERP DB SQL PDF Excel Windows API XML HTTP VPN DLL ODBC PC USB CSV ActiveX "
                           "Chrome Edge OCX TCP SMTP LDAP HWP Office MariaDB OK Cancel F5 F2 Ctrl+S";
// Particles after a word, and the ends of sentences.
const char* const kParticles = "이 가 을 를 은 는 에서 에 의 으로 와 과 도 만 부터 까지";
const char* const kRequestEnds =
    "안됩니다 오류가납니다 멈춥니다 느립니다 보이지않습니다 저장되지않습니다 "
    "확인부탁드립니다 요청드립니다 문의드립니다 틀리게나옵니다 사라졌습니다 반복됩니다";
const char* const kSolutionEnds =
    "수정했습니다 안내했습니다 배포했습니다 해결되었습니다 재설치했습니다 확인했습니다 "
    "반영예정입니다 초기화했습니다 재구성했습니다 교체했습니다 설명드렸습니다";
const char* const kCompanyNames =
    "한빛 대성 미래 서울 동해 푸른 가온 새롬 한결 똠양 나래 다온 두리 라온 마루 바른 "
    "온누리 하늘 별빛 해오름 청솔 백두 한라 금강 태백 소백 지리 설악 가람 누리 아람 "
    "은빛 금빛 초록 파랑 무지개 솔빛 달빛 새빛 한울 빛고을 세종 충무 을지 대한 민국 "
    "우리 으뜸 참 늘푸른 한마음 새마을 동방 서방 남해 북악 중앙 제일 신성 성원 삼원";
const char* const kCompanyKinds = "상사 산업 테크 물산 건설 약품 전자 유통 회계법인 식품 제약 화학 기계 정밀 "
                                  "통상 무역 디자인 시스템 솔루션 네트웍스";

} // namespace

DemoTexts::DemoTexts(unsigned seed) : m_rng(seed)
{
    const QStringList stems = words(kStems), endings = words(kEndings), ascii = words(kAscii);
    // Stems and ASCII terms first, then the compounds, mixed so that every stem has
    // common and rare compounds.
    QStringList compounds;
    for (const QString& stem : stems)
        for (const QString& ending : endings)
            compounds << stem + ending;
    std::mt19937 shuffle(7);
    std::shuffle(compounds.begin(), compounds.end(), shuffle);
    for (qsizetype i = 0; i < std::max(stems.size(), ascii.size()); ++i) {
        if (i < stems.size())
            m_words << stems[i];
        if (i < ascii.size())
            m_words << ascii[i];
    }
    m_words << compounds;
    double sum = 0;
    for (qsizetype rank = 0; rank < m_words.size(); ++rank)
        m_cumulative.push_back(sum += 1.0 / std::pow(double(rank) + 2.0, 1.05));
    for (double& c : m_cumulative)
        c /= sum;
}

QString DemoTexts::zipfWord()
{
    const double u = std::uniform_real_distribution<double>(0.0, 1.0)(m_rng);
    const auto it = std::lower_bound(m_cumulative.begin(), m_cumulative.end(), u);
    return m_words[std::min<qsizetype>(it - m_cumulative.begin(), m_words.size() - 1)];
}

QString DemoTexts::sentence(const QStringList& endings)
{
    static const QStringList particles = words(kParticles);
    QString s;
    for (int n = 2 + below(5); n > 0; --n)
        s += zipfWord() + particles[below(int(particles.size()))] + QLatin1Char(' ');
    return s + endings[below(int(endings.size()))] + QStringLiteral(". ");
}

QString DemoTexts::text(const QStringList& endings, bool errorCode)
{
    // 30 + an exponential share: about 200 on average, at most 800.
    const int length = std::min(800, 30 + int(std::exponential_distribution<double>(1.0 / 170.0)(m_rng)));
    QString t;
    if (errorCode)
        t = QStringLiteral("오류코드 E%1 ").arg(below(100000), 5, 10, QLatin1Char('0'));
    while (t.size() < length) {
        t += sentence(endings);
        if (below(6) == 0)
            t += QStringLiteral("\r\n");
    }
    return t.left(length).trimmed();
}

QString DemoTexts::requestText()
{
    static const QStringList ends = words(kRequestEnds);
    return text(ends, below(3) == 0);
}

QString DemoTexts::solutionText()
{
    static const QStringList ends = words(kSolutionEnds);
    return text(ends, false);
}

QString DemoTexts::title(const QString& screen)
{
    static const QStringList ends = words(kRequestEnds);
    return QStringLiteral("[%1] %2 %3 %4")
        .arg(screen.section(QLatin1Char(' '), 0, 0), zipfWord(), zipfWord(), ends[below(int(ends.size()))]);
}

QString DemoTexts::screenName()
{
    return QStringLiteral("%1 %2%3%4")
        .arg(zipfWord())
        .arg(QChar(u'A' + below(26)))
        .arg(QChar(u'A' + below(26)))
        .arg(below(100000), 5, 10, QLatin1Char('0'));
}

QString DemoTexts::companyName()
{
    static const QStringList names = words(kCompanyNames), kinds = words(kCompanyKinds);
    QString name = names[below(int(names.size()))] + kinds[below(int(kinds.size()))];
    if (below(4) == 0)
        name = QStringLiteral("(주)") + name;
    if (below(2) == 0)
        name += QStringLiteral(" 제%1지점").arg(1 + below(999));
    return name;
}
