#include "db/RecordsetCursor.h"

#include <strings.h>

#include "db/DaoException.h"

RecordsetCursor::RecordsetCursor(DaoRowBinding row, std::string source)
    : m_row(std::move(row)), m_source(std::move(source)) {}

RecordsetCursor::~RecordsetCursor() = default;

void RecordsetCursor::NotSupported(const char* operation) const {
    ThrowDaoException(DaoError::NotSupported, std::string("Operation is not supported for this "
                                                          "type of recordset: ") +
                                                  operation + " on '" + m_source + "'.");
}

void RecordsetCursor::NoCurrentRecord() const {
    ThrowDaoException(DaoError::NoCurrentRecord,
                      "No current record in '" + m_source + "' of '" + File() + "'.");
}

void RecordsetCursor::SetCurrentIndex(const char*) { NotSupported("SetCurrentIndex"); }

bool RecordsetCursor::Seek(const char*, const COleVariant&) { NotSupported("Seek"); }

void RecordsetCursor::AddNew() {
    ThrowDaoException(DaoError::ReadOnly, "Cannot update. The query '" + m_source + "' of '" +
                                              File() + "' is read-only.");
}

void RecordsetCursor::Edit() { AddNew(); }

void RecordsetCursor::Update() {
    ThrowDaoException(DaoError::UpdateWithoutAddNew,
                      "Update without AddNew or Edit on '" + m_source + "'.");
}

std::string QuoteIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}
