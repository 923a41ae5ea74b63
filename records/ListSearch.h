#pragma once

#include "db/MySql.h"
#include "records/ListQuery.h"

// Reads the list's rows for the filters into `rs` (null after a failed statement) and
// returns their count.
using ListReader = long (*)(RecordSetPtr& rs, const ListFilters& filters);

// The list search: the rows and count that ListStatement gives, read in two quick steps
// (ListWalkStatement, then ListRowsStatement for what it found), the first restricted
// to the text index's candidates when it narrows the search; each statement goes
// through the statement functions and their log as it is sent.
long OpenListRecordset(RecordSetPtr& rs, const ListFilters& filters);
// The same two steps, the first restricted to `only` (every record when none).
long OpenListRecordsetWithin(RecordSetPtr& rs, const ListFilters& filters, const SeqRestriction& only);

// The same rows from ListStatement itself.
long OpenListReference(RecordSetPtr& rs, const ListFilters& filters);

// The export's rows (ListExportStatement's), through the same plan as the list.
long OpenListExportRecordset(RecordSetPtr& rs, const ListFilters& filters);
