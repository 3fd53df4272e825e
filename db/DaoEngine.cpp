#include "db/DaoEngine.h"

#include <memory>

#include "db/DaoException.h"

namespace {

std::unique_ptr<CDaoDBEngine>& Engine() {
    static std::unique_ptr<CDaoDBEngine> engine;
    return engine;
}

}  // namespace

SCODE CDaoDBEngine::SetSystemDB(const std::string& path) {
    // Kept as given; whether the file exists is only known when a workspace is made on it.
    m_systemDB = path;
    return S_OK;
}

void AfxDaoInit() {
    if (!Engine()) Engine() = std::make_unique<CDaoDBEngine>();
}

CDaoDBEngine* AfxDaoGetEngine() { return Engine().get(); }

void AfxDaoTerm() { Engine().reset(); }

void AfxDaoCheck(SCODE scode) {
    if (scode < 0) {
        ThrowDaoException(DaoError::ReservedError, "The database engine failed with result code " +
                                                       std::to_string(scode) + ".");
    }
}

const CDaoDBEngine& CurrentEngineSettings() {
    static const CDaoDBEngine defaults;
    const CDaoDBEngine* engine = AfxDaoGetEngine();
    return engine != nullptr ? *engine : defaults;
}
