#pragma once

#include "convert/RunProgress.h"
#include "db/DaoRecordset.h"
#include "db/EngineStart.h"

// Walks every row of a destination table, first to last, handing each to rewrite. An engine
// error ends the walk at once and is reported; rows already rewritten stay so. 1 when the walk
// ended normally, 0 when an engine error ended it. A write group that could not be committed
// lost rows of earlier passes too: that ends the whole run. With progress, the walk is reported
// as pass; a cancel request is not an engine error and leaves the walk.
template <class Recordset, class Rewrite>
int RewriteEveryRow(Recordset& recordset, UserMessages& messages, RunProgress* progress,
                    ConversionPass pass, Rewrite&& rewrite) {
    try {
        if (!recordset.IsBOF()) recordset.MoveFirst();
        if (progress) progress->BeginPass(pass, recordset.GetRecordCount());
        while (!recordset.IsEOF()) {
            rewrite(recordset);
            if (progress) progress->RowDone();
            recordset.MoveNext();
        }
        return 1;
    } catch (const CDaoCommitException&) {
        throw;
    } catch (const CDaoException& e) {
        ReportDaoException(e, messages);
        return 0;
    }
}
