// The emulation's state and its diagnostics: errors in the Access driver's words and numbers.
#include "tests/accessdriver/EmulatedDriver.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace {

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The name a message quotes after "no such table: " and the like.
std::string NameAfter(const std::string& text, const char* marker) {
    std::size_t at = text.find(marker);
    if (at == std::string::npos) return {};
    at += std::strlen(marker);
    const std::size_t end = text.find_first_of(" (", at);
    return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

Switches SwitchesOfHandle(SQLSMALLINT type, SQLHANDLE handle) {
    if (type == SQL_HANDLE_STMT) return SwitchesOfStatement(handle);
    if (type == SQL_HANDLE_DBC) return SwitchesOf(handle);
    return SwitchesFromEnvironment();
}

// Record rec (from 1) of the handle's diagnostics, as the store is to see it. The SQLite
// driver hands each record out once, so all of them are read at the first question and kept
// until the next call on the handle.
std::optional<Diagnostic> DiagnosticAt(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT rec) {
    std::lock_guard lock(State().mutex);
    auto made = State().made.find(handle);
    if (made == State().made.end()) {
        std::vector<Diagnostic> real;
        const bool access = SwitchesOfHandle(type, handle).errors;
        for (SQLSMALLINT n = 1;; ++n) {
            SQLCHAR state[6] = {};
            SQLINTEGER native = 0;
            SQLCHAR text[2048] = {};
            SQLSMALLINT length = 0;
            if (!SQL_SUCCEEDED(REAL(SQLGetDiagRec)(type, handle, n, state, &native, text,
                                                   sizeof text, &length))) {
                break;
            }
            Diagnostic d{reinterpret_cast<char*>(state), native, reinterpret_cast<char*>(text)};
            real.push_back(access ? AsAccessDiagnostic(d) : d);
        }
        made = State().made.emplace(handle, std::move(real)).first;
    }
    if (rec < 1 || static_cast<std::size_t>(rec) > made->second.size()) return std::nullopt;
    return made->second[static_cast<std::size_t>(rec - 1)];
}

SQLRETURN CopyText(const std::string& text, SQLCHAR* out, SQLSMALLINT room, SQLSMALLINT* length) {
    if (length != nullptr) *length = static_cast<SQLSMALLINT>(text.size());
    if (out == nullptr || room <= 0) return SQL_SUCCESS;
    const std::size_t copied =
        std::min<std::size_t>(text.size(), static_cast<std::size_t>(room) - 1);
    std::memcpy(out, text.data(), copied);
    out[copied] = '\0';
    return copied < text.size() ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
}

}  // namespace

void* RealSymbol(const char* name) {
    static void* const library = [] {
        void* handle = dlopen(TALLOWMERE_SQLITE_ODBC_DRIVER, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) throw std::runtime_error(dlerror());
        return handle;
    }();
    return dlsym(library, name);
}

EmulationState& State() {
    static EmulationState state;
    return state;
}

Switches SwitchesFromEnvironment() {
    const char* wanted = std::getenv("TALLOWMERE_ACCESS_EMULATION");
    Switches all;
    if (wanted == nullptr || std::string(wanted) == "all") return all;
    const std::string list = "," + std::string(wanted) + ",";
    const auto on = [&](const char* name) {
        return Contains(list, (std::string(",") + name + ",").c_str());
    };
    return Switches{on("quote"),      on("dialect"),    on("noprimarykeys"),
                    on("statistics"), on("cbclose"),    on("varchar255"),
                    on("textcut"),    on("memolength"), on("errors")};
}

Switches SwitchesOf(SQLHDBC dbc) {
    std::lock_guard lock(State().mutex);
    const auto found = State().connections.find(dbc);
    return found != State().connections.end() ? found->second : SwitchesFromEnvironment();
}

Switches SwitchesOfStatement(SQLHSTMT stmt) {
    std::lock_guard lock(State().mutex);
    const auto found = State().statements.find(stmt);
    return SwitchesOf(found != State().statements.end() ? found->second.dbc : SQL_NULL_HDBC);
}

void ForgetDiagnostics(SQLHANDLE handle) {
    std::lock_guard lock(State().mutex);
    State().made.erase(handle);
}

SQLRETURN Refuse(SQLHANDLE handle, const std::string& state, SQLINTEGER native,
                 const std::string& text) {
    std::lock_guard lock(State().mutex);
    State().made[handle] = {Diagnostic{state, native, text}};
    return SQL_ERROR;
}

// The numbers are the Jet engine's own error codes, which the Access driver reports as the
// native error; the words are the driver's. "Diagnostics for Desktop Database Drivers"
// (https://learn.microsoft.com/sql/odbc/microsoft/diagnostics-for-desktop-database-drivers)
// gives the form, "[Microsoft][ODBC Microsoft Access Driver]" and the message.
Diagnostic AsAccessDiagnostic(const Diagnostic& sqlite) {
    const std::string& t = sqlite.text;
    const int code = sqlite.native & 0xFF;
    const auto access = [](const char* state, SQLINTEGER native, const std::string& words) {
        return Diagnostic{state, native, kAccessPrefix + words};
    };
    if (code == 19 && (Contains(t, "UNIQUE") || Contains(t, "PRIMARY KEY"))) {
        return access("23000", -1605,
                      "The changes you requested to the table were not successful because they "
                      "would create duplicate values in the index, primary key, or relationship.");
    }
    if (Contains(t, "no such table")) {
        return access("42S02", -1305,
                      "The Microsoft Jet database engine cannot find the input table or query '" +
                          NameAfter(t, "no such table: ") + "'.");
    }
    if (Contains(t, "no such column"))
        return access("07002", -3010, "Too few parameters. Expected 1.");
    switch (code) {
        case 5:
        case 6:
            return access("HY000", -1102, "Could not update; currently locked.");
        case 8:
            return access("HY000", -1809, "Cannot update. Database or object is read-only.");
        case 10:
            return access("HY000", -1022, "Disk or network error.");
        case 11:
            return access("HY000", -1206, "Database is corrupt.");
        case 13:
            return access("HY000", -1808, "Disk full.");
        case 14:
            return access("HY000", -1811, "Could not find file '(unknown)'.");
        case 26:
            return access("HY000", -1028, "Unrecognized database format.");
        case 1:
            return access("42000", -3500, "Syntax error in query. " + t);
        default:
            break;
    }
    std::string words = t;
    if (const auto at = words.find("[SQLite]"); at != std::string::npos) words.erase(at, 8);
    return access(sqlite.state.c_str(), 0, words);
}

extern "C" {

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT HandleType, SQLHANDLE Handle, SQLSMALLINT RecNumber,
                                SQLCHAR* Sqlstate, SQLINTEGER* NativeError, SQLCHAR* MessageText,
                                SQLSMALLINT BufferLength, SQLSMALLINT* TextLength) {
    const std::optional<Diagnostic> d = DiagnosticAt(HandleType, Handle, RecNumber);
    if (!d) return SQL_NO_DATA;
    if (Sqlstate != nullptr) CopyText(d->state, Sqlstate, 6, nullptr);
    if (NativeError != nullptr) *NativeError = d->native;
    return CopyText(d->text, MessageText, BufferLength, TextLength);
}

SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT HandleType, SQLHANDLE Handle, SQLSMALLINT RecNumber,
                                  SQLSMALLINT DiagIdentifier, SQLPOINTER DiagInfo,
                                  SQLSMALLINT BufferLength, SQLSMALLINT* StringLength) {
    switch (DiagIdentifier) {
        case SQL_DIAG_NUMBER: {
            SQLINTEGER count = 0;
            while (DiagnosticAt(HandleType, Handle, static_cast<SQLSMALLINT>(count + 1))) ++count;
            if (DiagInfo != nullptr) *static_cast<SQLINTEGER*>(DiagInfo) = count;
            return SQL_SUCCESS;
        }
        case SQL_DIAG_SQLSTATE:
        case SQL_DIAG_NATIVE:
        case SQL_DIAG_MESSAGE_TEXT: {
            const std::optional<Diagnostic> d = DiagnosticAt(HandleType, Handle, RecNumber);
            if (!d) return SQL_NO_DATA;
            if (DiagIdentifier == SQL_DIAG_NATIVE) {
                if (DiagInfo != nullptr) *static_cast<SQLINTEGER*>(DiagInfo) = d->native;
                return SQL_SUCCESS;
            }
            return CopyText(DiagIdentifier == SQL_DIAG_SQLSTATE ? d->state : d->text,
                            static_cast<SQLCHAR*>(DiagInfo), BufferLength, StringLength);
        }
        case SQL_DIAG_RETURNCODE:
            if (DiagInfo != nullptr) *static_cast<SQLRETURN*>(DiagInfo) = SQL_ERROR;
            return SQL_SUCCESS;
        case SQL_DIAG_ROW_COUNT:
        case SQL_DIAG_CURSOR_ROW_COUNT:
        case SQL_DIAG_DYNAMIC_FUNCTION_CODE:
            return REAL(SQLGetDiagField)(HandleType, Handle, RecNumber, DiagIdentifier, DiagInfo,
                                         BufferLength, StringLength);
        default:
            // The record's other fields (class and subclass origin, names) are not known.
            if (!DiagnosticAt(HandleType, Handle, RecNumber)) return SQL_NO_DATA;
            return CopyText("", static_cast<SQLCHAR*>(DiagInfo), BufferLength, StringLength);
    }
}

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT HandleType, SQLHANDLE InputHandle,
                                 SQLHANDLE* OutputHandle) {
    ForgetDiagnostics(InputHandle);
    const SQLRETURN rc = REAL(SQLAllocHandle)(HandleType, InputHandle, OutputHandle);
    if (SQL_SUCCEEDED(rc) && HandleType == SQL_HANDLE_STMT) {
        std::lock_guard lock(State().mutex);
        StatementState st;
        st.dbc = InputHandle;
        State().statements[*OutputHandle] = st;
    }
    return rc;
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT HandleType, SQLHANDLE Handle) {
    {
        std::lock_guard lock(State().mutex);
        State().made.erase(Handle);
        State().statements.erase(Handle);
        State().connections.erase(Handle);
    }
    return REAL(SQLFreeHandle)(HandleType, Handle);
}

SQLRETURN SQL_API SQLDriverConnect(SQLHDBC hdbc, SQLHWND hwnd, SQLCHAR* szConnStrIn,
                                   SQLSMALLINT cbConnStrIn, SQLCHAR* szConnStrOut,
                                   SQLSMALLINT cbConnStrOutMax, SQLSMALLINT* pcbConnStrOut,
                                   SQLUSMALLINT fDriverCompletion) {
    ForgetDiagnostics(hdbc);
    {
        std::lock_guard lock(State().mutex);
        State().connections[hdbc] = SwitchesFromEnvironment();
    }
    return REAL(SQLDriverConnect)(hdbc, hwnd, szConnStrIn, cbConnStrIn, szConnStrOut,
                                  cbConnStrOutMax, pcbConnStrOut, fDriverCompletion);
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC ConnectionHandle) {
    ForgetDiagnostics(ConnectionHandle);
    {
        std::lock_guard lock(State().mutex);
        for (auto it = State().columns.begin(); it != State().columns.end();) {
            it = it->first.first == ConnectionHandle ? State().columns.erase(it) : std::next(it);
        }
    }
    return REAL(SQLDisconnect)(ConnectionHandle);
}

// SQLGetInfo Returned Values for Access
// (https://learn.microsoft.com/sql/odbc/microsoft/sqlgetinfo-returned-values-for-access):
// SQL_IDENTIFIER_QUOTE_CHAR is the back quote; SQL_CURSOR_COMMIT_BEHAVIOR and
// SQL_CURSOR_ROLLBACK_BEHAVIOR are SQL_CB_CLOSE.
SQLRETURN SQL_API SQLGetInfo(SQLHDBC ConnectionHandle, SQLUSMALLINT InfoType, SQLPOINTER InfoValue,
                             SQLSMALLINT BufferLength, SQLSMALLINT* StringLength) {
    ForgetDiagnostics(ConnectionHandle);
    const Switches on = SwitchesOf(ConnectionHandle);
    if (on.quote && InfoType == SQL_IDENTIFIER_QUOTE_CHAR) {
        return CopyText("`", static_cast<SQLCHAR*>(InfoValue), BufferLength, StringLength);
    }
    if (on.cbClose &&
        (InfoType == SQL_CURSOR_COMMIT_BEHAVIOR || InfoType == SQL_CURSOR_ROLLBACK_BEHAVIOR)) {
        if (InfoValue != nullptr) *static_cast<SQLUSMALLINT*>(InfoValue) = SQL_CB_CLOSE;
        if (StringLength != nullptr) *StringLength = sizeof(SQLUSMALLINT);
        return SQL_SUCCESS;
    }
    return REAL(SQLGetInfo)(ConnectionHandle, InfoType, InfoValue, BufferLength, StringLength);
}

}  // extern "C"
