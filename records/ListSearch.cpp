#include "records/ListSearch.h"

#include "db/Query.h"
#include "records/TextIndex.h"

long OpenListRecordset(RecordSetPtr& rs, const ListFilters& filters)
{
    return OpenListRecordsetWithin(rs, filters, FindTextCandidates(filters));
}

long OpenListRecordsetWithin(RecordSetPtr& rs, const ListFilters& filters, const SeqRestriction& only)
{
    RecordSetPtr walk;
    OpenRecordset(walk, ListWalkStatement(filters, only));
    const bool failed = !walk;
    QList<qint64> seqs;
    for (; walk && !walk->Eof(); walk->MoveNext())
        seqs << walk->Field(0).toLongLong();
    CloseRecordset(walk);
    rs.reset();
    // No record matches (or the server refused): the list is empty, as it would be.
    if (failed || seqs.isEmpty())
        return 0;
    return OpenRecordset(rs, ListRowsStatement(filters, seqs));
}

long OpenListReference(RecordSetPtr& rs, const ListFilters& filters)
{
    return OpenRecordset(rs, ListStatement(filters));
}

long OpenListExportRecordset(RecordSetPtr& rs, const ListFilters& filters)
{
    return OpenRecordset(rs, ListExportQuickStatement(filters, FindTextCandidates(filters)));
}
