#include "db/DaoException.h"

#include <utility>

CDaoException::CDaoException(int32_t errorCode, std::string description)
    : m_pErrorInfo(std::make_shared<CDaoErrorInfo>()) {
    m_pErrorInfo->m_lErrorCode = errorCode;
    m_pErrorInfo->m_strSource = "DAO.Database";
    m_pErrorInfo->m_strDescription = std::move(description);
}

const char* CDaoException::what() const noexcept { return m_pErrorInfo->m_strDescription.c_str(); }

const char* CMemoryException::what() const noexcept { return "out of memory"; }

void ThrowDaoException(int32_t errorCode, std::string description) {
    throw CDaoException(errorCode, std::move(description));
}
