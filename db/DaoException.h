#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

// Jet's error numbers for the failures this engine reports, so messages read as users know them.
namespace DaoError {
inline constexpr int32_t ReservedError = 3000;
inline constexpr int32_t NoCurrentIndex = 3019;
inline constexpr int32_t UpdateWithoutAddNew = 3020;
inline constexpr int32_t NoCurrentRecord = 3021;
inline constexpr int32_t DuplicateKey = 3022;
inline constexpr int32_t FileNotFound = 3024;
inline constexpr int32_t DiskFull = 3026;
inline constexpr int32_t ReadOnly = 3027;
inline constexpr int32_t WorkgroupMissing = 3028;
inline constexpr int32_t DiskIo = 3043;
inline constexpr int32_t InvalidPath = 3044;
inline constexpr int32_t FileInUse = 3045;
inline constexpr int32_t Corrupt = 3049;
inline constexpr int32_t NoPermission = 3051;
inline constexpr int32_t TableNotFound = 3078;
inline constexpr int32_t FieldTooSmall = 3163;
inline constexpr int32_t OdbcCallFailed = 3146;
inline constexpr int32_t OdbcConnectFailed = 3151;
inline constexpr int32_t Locked = 3218;
inline constexpr int32_t NotSupported = 3251;
inline constexpr int32_t ItemNotFound = 3265;
inline constexpr int32_t ValidationRule = 3317;
inline constexpr int32_t UnrecognizedFormat = 3343;
inline constexpr int32_t ObjectInvalid = 3420;
inline constexpr int32_t TypeConversion = 3421;
inline constexpr int32_t NotAnIndex = 3800;
}  // namespace DaoError

struct CDaoErrorInfo {
    int32_t m_lErrorCode = 0;
    std::string m_strSource;
    std::string m_strDescription;
};

// An engine failure: Jet's error number and a description that names the file, table, column or
// key concerned.
class CDaoException : public std::exception {
public:
    CDaoException(int32_t errorCode, std::string description);

    const char* what() const noexcept override;

    std::shared_ptr<CDaoErrorInfo> m_pErrorInfo;
};

// Writes already acknowledged were lost: a write group could not be committed, so the rows
// written since the last commit are not in the file. Whichever pass meets it, the run ends.
class CDaoCommitException : public CDaoException {
public:
    using CDaoException::CDaoException;
};

// The engine ran out of memory.
class CMemoryException : public std::exception {
public:
    const char* what() const noexcept override;
};

[[noreturn]] void ThrowDaoException(int32_t errorCode, std::string description);
