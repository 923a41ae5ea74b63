#pragma once

// One transaction on the write connection, for the statements that must be stored
// together or not at all. The statements between Begin and Commit go through ExecSQL,
// GetValue and OpenRecordset as usual: the first write sends every read to the write
// connection, so the transaction's reads see its own writes.

// START TRANSACTION; false when it could not be sent (the error has been shown).
bool BeginTransaction();
// COMMIT; false when the server did not confirm it (the error has been shown).
bool CommitTransaction();
// ROLLBACK, unless the connection was lost under the transaction: the server has then
// rolled it back itself.
void RollbackTransaction();

// True when there is no write connection or its last statement lost it: the server has
// then rolled back whatever it had not committed.
bool WriteConnectionLost();
