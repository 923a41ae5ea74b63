#include "../records/ListData.h"
#include "MsgRecorder.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "common/Cp949.h"
#include "common/Globals.h"
#include "controls/HCCombo.h"
#include "controls/HCText.h"
#include "db/DbStartup.h"
#include "db/Query.h"
#include "editor/FrmAS.h"
#include "grid/SpreadGrid.h"
#include "platform/MacAddress.h"
#include "records/ExcelImportSql.h"
#include "records/Form2.h"
#include "records/FrmCompany.h"
#include "records/FrmMain.h"
#include "records/ListGrid.h"
#include "shell/frmLogin.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString kDb = QStringLiteral("t_hostile");

// Every field the user types into, by window.
enum Field
{
    FindScreen,
    FindText,
    FindCompany,
    CompanyDate,
    CompanyName,
    CompanyMemo,
    Password,
    FirstNumber,
    RecordScreen,
    RecordCompany,
    RecordTitle,
    RecordDate,
    RecordText,
    RecordSolution
};
const char* const kFieldNames[] = {"txtFindMemo(0)", "txtFindMemo(1)", "txtFindMemo(2)", "htCom(2)",
                                   "htCom(3)",       "txtMemo",        "txtPassword",    "Text2",
                                   "htField(0)",     "htField(1)",     "htField(2)",     "htField(3)",
                                   "txtField",       "txtSolution"};

QList<QPair<const char*, QString>> hostileTexts()
{
    QString paste;
    while (paste.size() < 4000)
        paste += QStringLiteral("가나다 abc ");
    return {{"apostrophe", QStringLiteral("O'Brien's")},
            {"backslash", QStringLiteral("C:\\temp\\")},
            {"double quote", QStringLiteral("\"인용\"")},
            {"percent", QStringLiteral("50%")},
            {"underscore", QStringLiteral("a_b")},
            {"semicolon", QStringLiteral("a; DROP TABLE aslist")},
            {"comment", QStringLiteral("x' -- y")},
            {"NUL", QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")},
            {"4000-character paste", paste.left(4000)},
            {"CP949 extension syllables", QStringLiteral("똠방각하")},
            {"emoji", QStringLiteral("웃음😀")}};
}

QString sqlText(const QString& text)
{
    return QStringLiteral("'") + EscapeSQL(text) + QStringLiteral("'");
}

bool storable(const QString& text, int maxBytes)
{
    return UnstorableChars(text).isEmpty() && cp949::byteLength(text) <= maxBytes;
}

// Pastes `text` into the field as the user would, over what it held.
void paste(QWidget* field, const QString& text)
{
    if (auto* t = qobject_cast<HCText*>(field))
        field = t->findChild<QLineEdit*>();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

} // namespace

// Hostile texts typed into every field of every window, against a real server: the
// statements stay whole, and each text is found, stored or compared exactly as it
// stands, or the user is told what cannot be.
class HostileInputTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { CloseDB(); }
    void hostileText_data();
    void hostileText();

private:
    void search(Field field, const QString& text, MsgRecorder& msgs);
    void saveCompany(Field field, const QString& text, MsgRecorder& msgs);
    void logIn(const QString& text, MsgRecorder& msgs);
    void numberCompanies(const QString& text, MsgRecorder& msgs);
    void saveRecord(Field field, const QString& text, MsgRecorder& msgs);

    TestEnv m_env;
    TestDb m_admin;
    int m_row = 0;
};

void HostileInputTest::initTestCase()
{
    gAppTitle = QString::fromUtf8(kAppTitle);
    gUserId = QStringLiteral("kim");
    QVERIFY(InstallFloatMsgStandIn(m_env.appDir()));
    QVERIFY(m_env.createDatabase(kDb) && LoadListData(m_admin, kDb));
    // One older record for each text that the database can hold (its screen name, title
    // and company), and one that "50%" and "a_b" would find as wildcards.
    int seq = 100;
    for (auto [name, text] : hostileTexts() + QList<QPair<const char*, QString>>{{"", "500원 axb"}})
        if (storable(text, 100))
            QVERIFY2(m_admin.exec(
                         QStringLiteral("INSERT INTO aslist (seq, appcode, formname, title, user_q, "
                                        "qusdate) VALUES (%1, 1, %2, %2, 'kim', '2026-10-01 09:00');"
                                        "INSERT INTO ascomp (user, comname, ascode) VALUES ('kim', %2, %1)")
                             .arg(++seq)
                             .arg(sqlText(text))),
                     qPrintable(m_admin.error()));
    QVERIFY(m_admin.exec(
        QStringLiteral("INSERT INTO user_mac (user_id, mac_addr) VALUES ('kim', '02fc00000001')")));
    NetAdapter pc;
    pc.index = 2;
    pc.name = QStringLiteral("eth2");
    pc.address = QStringLiteral("02:fc:00:00:00:01");
    pc.up = pc.hasIp = true;
    SetNetAdaptersForTesting(QList<NetAdapter>{pc});
    QVERIFY(m_env.connect(kDb));
}

void HostileInputTest::hostileText_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    for (int field = FindScreen; field <= RecordSolution; ++field)
        for (const auto& [name, text] : hostileTexts())
            QTest::addRow("%s: %s", kFieldNames[field], name) << field << text;
    for (const char* number : {"1e30", "2147483647", "-7", "2147483646", " 7 "})
        QTest::addRow("Text2: %s", number) << int(FirstNumber) << QString::fromLatin1(number);
}

void HostileInputTest::hostileText()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    ++m_row;
    MsgRecorder msgs;
    if (field <= FindCompany)
        search(Field(field), text, msgs);
    else if (field <= CompanyMemo)
        saveCompany(Field(field), text, msgs);
    else if (field == Password)
        logIn(text, msgs);
    else if (field == FirstNumber)
        numberCompanies(text, msgs);
    else
        saveRecord(Field(field), text, msgs);
}

// The list holds exactly the records whose texts contain the typed text.
void HostileInputTest::search(Field field, const QString& text, MsgRecorder& msgs)
{
    FrmMain main;
    main.Form_Load();
    QLineEdit* box = main.txtFindMemo[field];
    paste(box, text);
    const QString typed = box->text();
    msgs.clear();
    main.btnFind->click();
    if (!UnstorableChars(typed).isEmpty()) {
        QCOMPARE(msgs.count(), 1);
        QVERIFY(msgs.last().text.contains(QStringLiteral("검색할 수 없는 문자가 있습니다")));
        return;
    }
    QCOMPARE(msgs.texts(), QStringList());
    const char* const columns[] = {"a.formname", "CONCAT(a.title, '|', a.errtext, '|', a.solution)",
                                   "c.comname"};
    QStringList expected;
    for (const QString& row :
         m_admin.rows(QStringLiteral("SELECT DISTINCT a.seq, %1 FROM %2.aslist a JOIN %2.ascomp "
                                     "c ON c.ascode = a.seq ORDER BY a.qusdate DESC, a.seq")
                          .arg(QLatin1String(columns[field]), kDb)))
        if (row.section(QLatin1Char('|'), 1).contains(typed, Qt::CaseInsensitive))
            expected << row.section(QLatin1Char('|'), 0, 0);
    QStringList listed;
    for (int row = 1; row <= main.spList->MaxRows(); ++row)
        listed << GridCell(main.spList, ListColSeq, row);
    QCOMPARE(listed, expected);
}

// A company row keeps the typed text exactly, or the user is told and nothing is saved.
void HostileInputTest::saveCompany(Field field, const QString& text, MsgRecorder& msgs)
{
    FrmMain main;
    main.Form_Load();
    FrmCompany form(&main);
    QWidget* box = field == CompanyDate   ? static_cast<QWidget*>(form.htCom[2])
                   : field == CompanyName ? static_cast<QWidget*>(form.htCom[3])
                                          : static_cast<QWidget*>(form.txtMemo);
    if (field != CompanyName)
        paste(form.htCom[3], QStringLiteral("업체 %1").arg(m_row));
    paste(box, text);
    const QString typed =
        field == CompanyMemo ? form.txtMemo->toPlainText() : static_cast<HCText*>(box)->Text();
    const char* const column = field == CompanyDate ? "writedate" : field == CompanyName ? "comname" : "memo";
    const QString rows = QStringLiteral("SELECT %1 FROM %2.ascomp WHERE ascode = %3 AND seq > %4")
                             .arg(QLatin1String(column), kDb)
                             .arg(gCurSeq)
                             .arg(m_admin.value(QStringLiteral("SELECT MAX(seq) FROM %1.ascomp").arg(kDb)));
    msgs.clear();
    form.btnAdd->click();
    if (storable(typed, field == CompanyDate ? 20 : field == CompanyName ? 100 : 255)) {
        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(m_admin.rows(rows), QStringList{typed});
    } else {
        QCOMPARE(msgs.count(), 1);
        QVERIFY(msgs.last().text.contains(QStringLiteral("저장할 수 없는 문자가 있습니다")) ||
                msgs.last().text.contains(QStringLiteral("너무 깁니다")));
        QCOMPARE(m_admin.rows(rows), QStringList());
    }
}

// Only the very password logs in: not one the database would have kept cut or changed.
void HostileInputTest::logIn(const QString& text, MsgRecorder& msgs)
{
    const bool exact = storable(text, 60);
    const QString kept =
        cp949::decode(cp949::encode(text.left(text.indexOf(QChar(0)) >= 0 ? text.indexOf(QChar(0)) : 60)));
    QVERIFY(m_admin.exec(QStringLiteral("UPDATE %1.user SET password = %2 WHERE id = 'kim'")
                             .arg(kDb, sqlText(exact ? text : kept))));
    frmLogin login(kDb);
    login.show();
    QTRY_VERIFY(!login.txtUserName->isEnabled());
    paste(login.txtPassword, text);
    QCOMPARE(login.txtPassword->text(), text);
    login.cmdOK->click();
    QCOMPARE(login.LoginSucceeded, exact);
    QCOMPARE(msgs.texts(), exact ? QStringList() : QStringList{QStringLiteral("암호가 잘못되었습니다.")});
}

// The company statement numbers the records from a whole number that leaves room for
// them, and runs; anything else is refused with a message.
void HostileInputTest::numberCompanies(const QString& text, MsgRecorder& msgs)
{
    Form2 form;
    form.spList->SetMaxCols(4);
    form.spList->SetMaxRows(2);
    for (int row = 1; row <= 2; ++row)
        form.spList->SetText(1, row, QStringLiteral("누리셈II"));
    form.btnImport->click();
    paste(form.Text2, text);
    msgs.clear();
    form.chameleonButton1->click();
    bool whole = false;
    const long first = text.trimmed().toLong(&whole);
    if (whole && first >= 1 && first <= 2147483646) {
        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(ExecSQL(form.Text3->toPlainText()), 2L);
    } else {
        QCOMPARE(msgs.texts(),
                 QStringList{QStringLiteral("첫 번째 관리번호를 1 ~ 2147483646 사이의 숫자로 입력해 "
                                            "주세요.")});
        QCOMPARE(form.Text3->toPlainText(), QString());
    }
}

// A new record keeps the typed text exactly (trimmed where the editor trims it), or the
// user is told and no record is written.
void HostileInputTest::saveRecord(Field field, const QString& text, MsgRecorder& msgs)
{
    FrmMain main;
    main.Form_Load();
    FrmAS form(&main);
    form.cmbProgram->setListIndex(1);
    form.htField[2]->setText(QStringLiteral("제목"));
    form.txtField->setPlainText(QStringLiteral("내용"));
    form.cmbStatus->setListIndex(3);
    form.cmbUser[1]->setListIndex(1);
    QWidget* const boxes[] = {form.htField[0], form.htField[1], form.htField[2],
                              form.htField[3], form.txtField,   form.txtSolution};
    QWidget* box = boxes[field - RecordScreen];
    paste(box, text);
    const QString typed = qobject_cast<HCText*>(box) ? static_cast<HCText*>(box)->Text()
                                                     : static_cast<QPlainTextEdit*>(box)->toPlainText();
    const char* const columns[] = {"a.formname", "c.comname", "a.title",
                                   "a.qusdate",  "a.errtext", "a.solution"};
    const int maxBytes[] = {100, 100, 200, 20, 65535, 65535};
    const QString before = m_admin.value(QStringLiteral("SELECT MAX(seq) FROM %1.aslist").arg(kDb));
    msgs.clear();
    form.btnSave_Click();
    const QString rows =
        QStringLiteral("SELECT HEX(%1) FROM %2.aslist a JOIN %2.ascomp c ON c.ascode = a.seq "
                       "WHERE a.seq > %3")
            .arg(QLatin1String(columns[field - RecordScreen]), kDb, before);
    if (storable(typed, maxBytes[field - RecordScreen])) {
        QCOMPARE(msgs.texts(), QStringList());
        const QString kept = field == RecordDate ? typed : typed.trimmed();
        QCOMPARE(m_admin.rows(rows), QStringList{QString::fromLatin1(cp949::encode(kept).toHex().toUpper())});
    } else {
        QCOMPARE(msgs.count(), 1);
        QVERIFY(msgs.last().text.contains(QStringLiteral("저장할 수 없는 문자가 있습니다")) ||
                msgs.last().text.contains(QStringLiteral("너무 깁니다")));
        QCOMPARE(m_admin.rows(rows), QStringList());
    }
}

QTEST_MAIN(HostileInputTest)
#include "tst_hostileinput.moc"
