#pragma once

// The ODBC API: unixODBC's headers here, the platform's own (odbc32) on Windows.
#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
