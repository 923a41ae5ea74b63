# The client's built-in database account, read from its one definition in
# db/BuiltinAccount.h. Sourced by the scripts; sets AS_DB_USER, AS_DB_PASSWORD and
# AS_DB_NAME, or ends the script when the header cannot be read.

account_header="$(dirname "${BASH_SOURCE[0]}")/../db/BuiltinAccount.h"

account_value() {
  sed -n "s/^inline constexpr const char\* $1 = \"\([^\"]*\)\";\$/\1/p" "$account_header"
}

AS_DB_USER=$(account_value kDbUser)
AS_DB_PASSWORD=$(account_value kDbPassword)
AS_DB_NAME=$(account_value kDbName)
if [ -z "$AS_DB_USER" ] || [ -z "$AS_DB_PASSWORD" ] || [ -z "$AS_DB_NAME" ]; then
  echo "cannot read the database account from $account_header" >&2
  exit 1
fi
