#include "db/DaoWorkspace.h"

#include <sys/stat.h>

#include "db/DaoEngine.h"
#include "db/DaoException.h"
#include "db/StorePath.h"

void CDaoWorkspace::Create(const std::string& name, const std::string& userName,
                           const std::string& password) {
    AfxDaoInit();
    const std::string& systemDB = AfxDaoGetEngine()->GetSystemDB();
    if (!systemDB.empty()) {
        struct stat info {};
        if (stat(NativeStorePath(systemDB).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            ThrowDaoException(DaoError::WorkgroupMissing,
                              "Cannot start the session. The workgroup information file '" +
                                  systemDB + "' is missing or opened exclusively by another user.");
        }
    }
    m_name = name;
    m_userName = userName;
    m_password = password;
    m_open = true;
    AfxDaoGetEngine()->SetLogon(userName, password);
}
