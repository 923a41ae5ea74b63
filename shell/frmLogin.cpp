#include "shell/frmLogin.h"

#include "common/MsgBox.h"
#include "common/SettingsStore.h"
#include "controls/FieldAccess.h"
#include "db/MySql.h"
#include "db/Query.h"
#include "shell/Login.h"
#include "shell/modMain.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

QString setting(const char* key, const QString& def)
{
    return GetSetting(QString::fromUtf8(kLoginSettingsApp), QLatin1String(kLoginSettingsSection),
                      QLatin1String(key), def);
}

void saveSetting(const char* key, const QString& value)
{
    SaveSetting(QString::fromUtf8(kLoginSettingsApp), QLatin1String(kLoginSettingsSection),
                QLatin1String(key), value);
}

} // namespace

frmLogin::frmLogin(const QString& database, QWidget* parent) : QDialog(parent), m_database(database)
{
    buildControls();
    Form_Load();
}

frmLogin::~frmLogin()
{
    if (m_db)
        m_db->free_result();
}

void frmLogin::buildControls()
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("로그인"));
    setModal(true);

    txtUserName = new QLineEdit(this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    chkpwdSave = new QCheckBox(QStringLiteral("저장"), this);
    chkpwdSave->setObjectName(QStringLiteral("chkpwdSave"));

    QLabel* lblUserName = FieldLabel(QStringLiteral("아이디(&U):"), txtUserName);
    lblUserName->setObjectName(QStringLiteral("lblUserName"));
    QLabel* lblPassword = FieldLabel(QStringLiteral("암호(&P):"), txtPassword);
    lblPassword->setObjectName(QStringLiteral("lblPassword"));

    auto* buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblUserName, 0, 0);
    grid->addWidget(txtUserName, 0, 1, 1, 2);
    grid->addWidget(lblPassword, 1, 0);
    grid->addWidget(txtPassword, 1, 1);
    grid->addWidget(chkpwdSave, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    // A dialog of one size, as its fields need it: no maximise button.
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));

    connect(cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);
    connect(chkpwdSave, &QCheckBox::clicked, this, &frmLogin::chkpwdSave_Click);
    connect(txtPassword, &QLineEdit::textEdited, this, [this] { m_passwordChanged = true; });
    txtPassword->installEventFilter(this);
}

void frmLogin::Form_Load()
{
    LoginSucceeded = false;
    txtPassword->setText(setting(kPasswdKey, txtPassword->text()));
    chkpwdSave->setChecked(setting(kSavePasswdKey, QStringLiteral("0")).trimmed().toInt() == 1);
    m_firstActivation = true;
}

void frmLogin::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_firstActivation)
        QTimer::singleShot(0, this, &frmLogin::Form_Activate);
}

void frmLogin::Form_Activate()
{
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    const QString userId = GetAllowMyPC(m_database);
    if (userId.isEmpty()) {
        MsgBox(QStringLiteral("허용되지 않은 컴퓨터입니다. 관리자에게 문의바랍니다."));
        ExitApp(1);
    }
    txtUserName->setText(userId);
    txtUserName->setEnabled(false);

    m_db = std::make_unique<cMySQL>();
    if (!ConnectLoginDb(*m_db, m_database)) {
        hide();
        return;
    }
    if (!txtUserName->text().isEmpty() && !txtPassword->text().isEmpty())
        cmdOK_Click();
}

void frmLogin::cmdOK_Click()
{
    if (!m_db)
        return;
    // A password with characters the database cannot hold (cut at a NUL, or with '?'
    // for the others) would be checked as another, shorter or simpler one: never right.
    const bool storable = UnstorableChars(txtPassword->text()).isEmpty();
    RecordSetPtr rs =
        storable ? m_db->query(LoginStatement(txtUserName->text(), txtPassword->text())) : nullptr;
    const long count = storable ? m_db->affected_rows() : 0;
    if (count < 1) {
        MsgBox(QStringLiteral("암호가 잘못되었습니다."), MsgButtons::Ok, MsgIcon::None,
               QStringLiteral("로그인"));
        txtPassword->setFocus();
        txtPassword->selectAll();
    } else {
        LoginSucceeded = CheckLogin(rs.get());
        hide();
    }
    CloseRecordset(rs);
}

void frmLogin::cmdCancel_Click()
{
    hide();
}

void frmLogin::chkpwdSave_Click()
{
    if (!isVisible())
        return;
    const bool save = chkpwdSave->isChecked();
    saveSetting(kSavePasswdKey, save ? QStringLiteral("1") : QStringLiteral("0"));
    saveSetting(kPasswdKey, save ? txtPassword->text() : QString());
}

void frmLogin::txtPassword_LostFocus()
{
    if (chkpwdSave->isChecked() && m_passwordChanged)
        saveSetting(kPasswdKey, txtPassword->text());
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtPassword) {
        if (event->type() == QEvent::FocusIn)
            m_passwordChanged = false;
        else if (event->type() == QEvent::FocusOut)
            txtPassword_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}
