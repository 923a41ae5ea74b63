#pragma once

#include "db/BuiltinAccount.h"

#include <QString>

// The PC allow-list and the login check, without the window.

// Settings of the login window: application name, section and keys of the store.
inline constexpr const char* kLoginSettingsApp = "타벤 업무관리";
inline constexpr const char* kLoginSettingsSection = "Config";
inline constexpr const char* kPasswdKey = "passwd";
inline constexpr const char* kSavePasswdKey = "issave_passwd";

// The allow-list lookup of one adapter address.
QString AllowListStatement(const QString& mac);

// The login check of a user id and a typed password, both escaped.
QString LoginStatement(const QString& userId, const QString& password);

// The user id registered for this PC and not blocked, looked up on a connection of its
// own to the site's server; "" when the PC has no address, is not registered or
// blocked, or the server cannot be reached (its connection error is shown first).
QString GetAllowMyPC(const QString& database = QString::fromLatin1(kDbName));

// Connects `db` to the site's server with the built-in account, as the login window
// and the allow-list lookup do (no character-set check).
class cMySQL;
bool ConnectLoginDb(cMySQL& db, const QString& database);
