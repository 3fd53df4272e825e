#pragma once

// The ODBC API: unixODBC's headers here, the platform's own (odbc32) on Windows, whose headers
// need <windows.h> first; odbcinst.h is the installer's half (odbccp32 there), for data sources.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>
