#pragma once

#include "db/BuiltinAccount.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPushButton;
class cMySQL;

// The login window. The user id comes from the PC allow-list; the user types only the
// password, which can be remembered. Hidden when the login succeeded or was given up;
// LoginSucceeded tells which.
class frmLogin : public QDialog
{
    Q_OBJECT

public:
    // `database`: the database holding the user and allow-list tables.
    explicit frmLogin(const QString& database = QString::fromLatin1(kDbName), QWidget* parent = nullptr);
    ~frmLogin() override;

    bool LoginSucceeded = false;

    QLineEdit* txtUserName = nullptr;
    QLineEdit* txtPassword = nullptr;
    QCheckBox* chkpwdSave = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Activate();
    void cmdOK_Click();
    void cmdCancel_Click();
    void chkpwdSave_Click();
    void txtPassword_LostFocus();

    QString m_database;
    std::unique_ptr<cMySQL> m_db;
    bool m_firstActivation = false;
    bool m_passwordChanged = false;
};
