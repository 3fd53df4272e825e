#include "db/odbc/OdbcEngineSettings.h"

#include "db/DaoEngine.h"

std::chrono::milliseconds EngineLockWait() { return CurrentEngineSettings().LockWait(); }

std::chrono::milliseconds EngineWriteGroupInterval() {
    return CurrentEngineSettings().WriteGroupInterval();
}

EngineLogon CurrentEngineLogon() {
    const CDaoDBEngine& engine = CurrentEngineSettings();
    return {engine.GetSystemDB(), engine.LogonUser(), engine.LogonPassword()};
}
