#pragma once

#include <chrono>
#include <string>

// The engine settings the ODBC store reads, kept apart from the engine's own header, whose names
// clash with <windows.h> that the ODBC headers need there.
std::chrono::milliseconds EngineLockWait();
std::chrono::milliseconds EngineWriteGroupInterval();

// The workgroup file and the logon of the session, handed to a driver that logs on.
struct EngineLogon {
    std::string systemDB;
    std::string user;
    std::string password;
};
EngineLogon CurrentEngineLogon();
