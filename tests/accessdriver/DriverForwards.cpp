// Every driver call the emulation leaves alone, passed straight on to the SQLite driver. Each
// first forgets the diagnostics the emulation made up for the handle, so that the next ones the
// driver manager asks for are the real driver's.
#include "tests/accessdriver/EmulatedDriver.h"

extern "C" {

SQLRETURN SQL_API SQLBindCol(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber,
                             SQLSMALLINT TargetType, SQLPOINTER TargetValue, SQLLEN BufferLength,
                             SQLLEN* StrLen_or_Ind) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLBindCol)(StatementHandle, ColumnNumber, TargetType, TargetValue, BufferLength,
                            StrLen_or_Ind);
}

SQLRETURN SQL_API SQLBrowseConnect(SQLHDBC hdbc, SQLCHAR* szConnStrIn, SQLSMALLINT cbConnStrIn,
                                   SQLCHAR* szConnStrOut, SQLSMALLINT cbConnStrOutMax,
                                   SQLSMALLINT* pcbConnStrOut) {
    ForgetDiagnostics(hdbc);
    return REAL(SQLBrowseConnect)(hdbc, szConnStrIn, cbConnStrIn, szConnStrOut, cbConnStrOutMax,
                                  pcbConnStrOut);
}

SQLRETURN SQL_API SQLBulkOperations(SQLHSTMT StatementHandle, SQLSMALLINT Operation) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLBulkOperations)(StatementHandle, Operation);
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT StatementHandle) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLCancel)(StatementHandle);
}

SQLRETURN SQL_API SQLColAttribute(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber,
                                  SQLUSMALLINT FieldIdentifier, SQLPOINTER CharacterAttribute,
                                  SQLSMALLINT BufferLength, SQLSMALLINT* StringLength,
                                  SQLLEN* NumericAttribute) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLColAttribute)(StatementHandle, ColumnNumber, FieldIdentifier, CharacterAttribute,
                                 BufferLength, StringLength, NumericAttribute);
}

SQLRETURN SQL_API SQLColumnPrivileges(SQLHSTMT hstmt, SQLCHAR* szCatalogName,
                                      SQLSMALLINT cbCatalogName, SQLCHAR* szSchemaName,
                                      SQLSMALLINT cbSchemaName, SQLCHAR* szTableName,
                                      SQLSMALLINT cbTableName, SQLCHAR* szColumnName,
                                      SQLSMALLINT cbColumnName) {
    ForgetDiagnostics(hstmt);
    return REAL(SQLColumnPrivileges)(hstmt, szCatalogName, cbCatalogName, szSchemaName,
                                     cbSchemaName, szTableName, cbTableName, szColumnName,
                                     cbColumnName);
}

SQLRETURN SQL_API SQLConnect(SQLHDBC ConnectionHandle, SQLCHAR* ServerName, SQLSMALLINT NameLength1,
                             SQLCHAR* UserName, SQLSMALLINT NameLength2, SQLCHAR* Authentication,
                             SQLSMALLINT NameLength3) {
    ForgetDiagnostics(ConnectionHandle);
    return REAL(SQLConnect)(ConnectionHandle, ServerName, NameLength1, UserName, NameLength2,
                            Authentication, NameLength3);
}

SQLRETURN SQL_API SQLCopyDesc(SQLHDESC SourceDescHandle, SQLHDESC TargetDescHandle) {
    ForgetDiagnostics(SourceDescHandle);
    return REAL(SQLCopyDesc)(SourceDescHandle, TargetDescHandle);
}

SQLRETURN SQL_API SQLDataSources(SQLHENV EnvironmentHandle, SQLUSMALLINT Direction,
                                 SQLCHAR* ServerName, SQLSMALLINT BufferLength1,
                                 SQLSMALLINT* NameLength1, SQLCHAR* Description,
                                 SQLSMALLINT BufferLength2, SQLSMALLINT* NameLength2) {
    ForgetDiagnostics(EnvironmentHandle);
    return REAL(SQLDataSources)(EnvironmentHandle, Direction, ServerName, BufferLength1,
                                NameLength1, Description, BufferLength2, NameLength2);
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber,
                                 SQLCHAR* ColumnName, SQLSMALLINT BufferLength,
                                 SQLSMALLINT* NameLength, SQLSMALLINT* DataType,
                                 SQLULEN* ColumnSize, SQLSMALLINT* DecimalDigits,
                                 SQLSMALLINT* Nullable) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLDescribeCol)(StatementHandle, ColumnNumber, ColumnName, BufferLength, NameLength,
                                DataType, ColumnSize, DecimalDigits, Nullable);
}

SQLRETURN SQL_API SQLDescribeParam(SQLHSTMT hstmt, SQLUSMALLINT ipar, SQLSMALLINT* pfSqlType,
                                   SQLULEN* pcbParamDef, SQLSMALLINT* pibScale,
                                   SQLSMALLINT* pfNullable) {
    ForgetDiagnostics(hstmt);
    return REAL(SQLDescribeParam)(hstmt, ipar, pfSqlType, pcbParamDef, pibScale, pfNullable);
}

SQLRETURN SQL_API SQLDrivers(SQLHENV henv, SQLUSMALLINT fDirection, SQLCHAR* szDriverDesc,
                             SQLSMALLINT cbDriverDescMax, SQLSMALLINT* pcbDriverDesc,
                             SQLCHAR* szDriverAttributes, SQLSMALLINT cbDrvrAttrMax,
                             SQLSMALLINT* pcbDrvrAttr) {
    ForgetDiagnostics(henv);
    return REAL(SQLDrivers)(henv, fDirection, szDriverDesc, cbDriverDescMax, pcbDriverDesc,
                            szDriverAttributes, cbDrvrAttrMax, pcbDrvrAttr);
}

SQLRETURN SQL_API SQLForeignKeys(SQLHSTMT hstmt, SQLCHAR* szPkCatalogName,
                                 SQLSMALLINT cbPkCatalogName, SQLCHAR* szPkSchemaName,
                                 SQLSMALLINT cbPkSchemaName, SQLCHAR* szPkTableName,
                                 SQLSMALLINT cbPkTableName, SQLCHAR* szFkCatalogName,
                                 SQLSMALLINT cbFkCatalogName, SQLCHAR* szFkSchemaName,
                                 SQLSMALLINT cbFkSchemaName, SQLCHAR* szFkTableName,
                                 SQLSMALLINT cbFkTableName) {
    ForgetDiagnostics(hstmt);
    return REAL(SQLForeignKeys)(hstmt, szPkCatalogName, cbPkCatalogName, szPkSchemaName,
                                cbPkSchemaName, szPkTableName, cbPkTableName, szFkCatalogName,
                                cbFkCatalogName, szFkSchemaName, cbFkSchemaName, szFkTableName,
                                cbFkTableName);
}

SQLRETURN SQL_API SQLGetConnectAttr(SQLHDBC ConnectionHandle, SQLINTEGER Attribute,
                                    SQLPOINTER Value, SQLINTEGER BufferLength,
                                    SQLINTEGER* StringLength) {
    ForgetDiagnostics(ConnectionHandle);
    return REAL(SQLGetConnectAttr)(ConnectionHandle, Attribute, Value, BufferLength, StringLength);
}

SQLRETURN SQL_API SQLGetCursorName(SQLHSTMT StatementHandle, SQLCHAR* CursorName,
                                   SQLSMALLINT BufferLength, SQLSMALLINT* NameLength) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLGetCursorName)(StatementHandle, CursorName, BufferLength, NameLength);
}

SQLRETURN SQL_API SQLGetDescRec(SQLHDESC DescriptorHandle, SQLSMALLINT RecNumber, SQLCHAR* Name,
                                SQLSMALLINT BufferLength, SQLSMALLINT* StringLength,
                                SQLSMALLINT* Type, SQLSMALLINT* SubType, SQLLEN* Length,
                                SQLSMALLINT* Precision, SQLSMALLINT* Scale, SQLSMALLINT* Nullable) {
    ForgetDiagnostics(DescriptorHandle);
    return REAL(SQLGetDescRec)(DescriptorHandle, RecNumber, Name, BufferLength, StringLength, Type,
                               SubType, Length, Precision, Scale, Nullable);
}

SQLRETURN SQL_API SQLGetEnvAttr(SQLHENV EnvironmentHandle, SQLINTEGER Attribute, SQLPOINTER Value,
                                SQLINTEGER BufferLength, SQLINTEGER* StringLength) {
    ForgetDiagnostics(EnvironmentHandle);
    return REAL(SQLGetEnvAttr)(EnvironmentHandle, Attribute, Value, BufferLength, StringLength);
}

SQLRETURN SQL_API SQLGetStmtAttr(SQLHSTMT StatementHandle, SQLINTEGER Attribute, SQLPOINTER Value,
                                 SQLINTEGER BufferLength, SQLINTEGER* StringLength) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLGetStmtAttr)(StatementHandle, Attribute, Value, BufferLength, StringLength);
}

SQLRETURN SQL_API SQLGetTypeInfo(SQLHSTMT StatementHandle, SQLSMALLINT DataType) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLGetTypeInfo)(StatementHandle, DataType);
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT hstmt) {
    ForgetDiagnostics(hstmt);
    return REAL(SQLMoreResults)(hstmt);
}

SQLRETURN SQL_API SQLNativeSql(SQLHDBC hdbc, SQLCHAR* szSqlStrIn, SQLINTEGER cbSqlStrIn,
                               SQLCHAR* szSqlStr, SQLINTEGER cbSqlStrMax, SQLINTEGER* pcbSqlStr) {
    ForgetDiagnostics(hdbc);
    return REAL(SQLNativeSql)(hdbc, szSqlStrIn, cbSqlStrIn, szSqlStr, cbSqlStrMax, pcbSqlStr);
}

SQLRETURN SQL_API SQLNumParams(SQLHSTMT hstmt, SQLSMALLINT* pcpar) {
    ForgetDiagnostics(hstmt);
    return REAL(SQLNumParams)(hstmt, pcpar);
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT StatementHandle, SQLSMALLINT* ColumnCount) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLNumResultCols)(StatementHandle, ColumnCount);
}

SQLRETURN SQL_API SQLParamData(SQLHSTMT StatementHandle, SQLPOINTER* Value) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLParamData)(StatementHandle, Value);
}

SQLRETURN SQL_API SQLProcedureColumns(SQLHSTMT hstmt, SQLCHAR* szCatalogName,
                                      SQLSMALLINT cbCatalogName, SQLCHAR* szSchemaName,
                                      SQLSMALLINT cbSchemaName, SQLCHAR* szProcName,
                                      SQLSMALLINT cbProcName, SQLCHAR* szColumnName,
                                      SQLSMALLINT cbColumnName) {
    ForgetDiagnostics(hstmt);
    return REAL(SQLProcedureColumns)(hstmt, szCatalogName, cbCatalogName, szSchemaName,
                                     cbSchemaName, szProcName, cbProcName, szColumnName,
                                     cbColumnName);
}

SQLRETURN SQL_API SQLProcedures(SQLHSTMT hstmt, SQLCHAR* szCatalogName, SQLSMALLINT cbCatalogName,
                                SQLCHAR* szSchemaName, SQLSMALLINT cbSchemaName,
                                SQLCHAR* szProcName, SQLSMALLINT cbProcName) {
    ForgetDiagnostics(hstmt);
    return REAL(SQLProcedures)(hstmt, szCatalogName, cbCatalogName, szSchemaName, cbSchemaName,
                               szProcName, cbProcName);
}

SQLRETURN SQL_API SQLPutData(SQLHSTMT StatementHandle, SQLPOINTER Data, SQLLEN StrLen_or_Ind) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLPutData)(StatementHandle, Data, StrLen_or_Ind);
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT StatementHandle, SQLLEN* RowCount) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLRowCount)(StatementHandle, RowCount);
}

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC ConnectionHandle, SQLINTEGER Attribute,
                                    SQLPOINTER Value, SQLINTEGER StringLength) {
    ForgetDiagnostics(ConnectionHandle);
    return REAL(SQLSetConnectAttr)(ConnectionHandle, Attribute, Value, StringLength);
}

SQLRETURN SQL_API SQLSetCursorName(SQLHSTMT StatementHandle, SQLCHAR* CursorName,
                                   SQLSMALLINT NameLength) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLSetCursorName)(StatementHandle, CursorName, NameLength);
}

SQLRETURN SQL_API SQLSetDescField(SQLHDESC DescriptorHandle, SQLSMALLINT RecNumber,
                                  SQLSMALLINT FieldIdentifier, SQLPOINTER Value,
                                  SQLINTEGER BufferLength) {
    ForgetDiagnostics(DescriptorHandle);
    return REAL(SQLSetDescField)(DescriptorHandle, RecNumber, FieldIdentifier, Value, BufferLength);
}

SQLRETURN SQL_API SQLSetDescRec(SQLHDESC DescriptorHandle, SQLSMALLINT RecNumber, SQLSMALLINT Type,
                                SQLSMALLINT SubType, SQLLEN Length, SQLSMALLINT Precision,
                                SQLSMALLINT Scale, SQLPOINTER Data, SQLLEN* StringLength,
                                SQLLEN* Indicator) {
    ForgetDiagnostics(DescriptorHandle);
    return REAL(SQLSetDescRec)(DescriptorHandle, RecNumber, Type, SubType, Length, Precision, Scale,
                               Data, StringLength, Indicator);
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV EnvironmentHandle, SQLINTEGER Attribute, SQLPOINTER Value,
                                SQLINTEGER StringLength) {
    ForgetDiagnostics(EnvironmentHandle);
    return REAL(SQLSetEnvAttr)(EnvironmentHandle, Attribute, Value, StringLength);
}

SQLRETURN SQL_API SQLSetPos(SQLHSTMT hstmt, SQLSETPOSIROW irow, SQLUSMALLINT fOption,
                            SQLUSMALLINT fLock) {
    ForgetDiagnostics(hstmt);
    return REAL(SQLSetPos)(hstmt, irow, fOption, fLock);
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT StatementHandle, SQLINTEGER Attribute, SQLPOINTER Value,
                                 SQLINTEGER StringLength) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLSetStmtAttr)(StatementHandle, Attribute, Value, StringLength);
}

SQLRETURN SQL_API SQLSpecialColumns(SQLHSTMT StatementHandle, SQLUSMALLINT IdentifierType,
                                    SQLCHAR* CatalogName, SQLSMALLINT NameLength1,
                                    SQLCHAR* SchemaName, SQLSMALLINT NameLength2,
                                    SQLCHAR* TableName, SQLSMALLINT NameLength3, SQLUSMALLINT Scope,
                                    SQLUSMALLINT Nullable) {
    ForgetDiagnostics(StatementHandle);
    return REAL(SQLSpecialColumns)(StatementHandle, IdentifierType, CatalogName, NameLength1,
                                   SchemaName, NameLength2, TableName, NameLength3, Scope,
                                   Nullable);
}

SQLRETURN SQL_API SQLTablePrivileges(SQLHSTMT hstmt, SQLCHAR* szCatalogName,
                                     SQLSMALLINT cbCatalogName, SQLCHAR* szSchemaName,
                                     SQLSMALLINT cbSchemaName, SQLCHAR* szTableName,
                                     SQLSMALLINT cbTableName) {
    ForgetDiagnostics(hstmt);
    return REAL(SQLTablePrivileges)(hstmt, szCatalogName, cbCatalogName, szSchemaName, cbSchemaName,
                                    szTableName, cbTableName);
}

}  // extern "C"
