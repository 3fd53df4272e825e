#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

// Direct access to a store file, for making and inspecting test databases without the engine.
class TestDb {
public:
    explicit TestDb(const std::string& path);  // creates the file if it does not exist
    ~TestDb();
    TestDb(const TestDb&) = delete;
    TestDb& operator=(const TestDb&) = delete;

    void Exec(const std::string& sql);
    void ExecFile(const std::string& path);
    // Runs a statement with text parameters bound in order (nullptr binds Null).
    void Run(const std::string& sql, const std::vector<const char*>& params);
    // Every row of a query, each column as text ("<null>" for Null), columns joined with "|".
    std::vector<std::string> Rows(const std::string& sql);
    int64_t Count(const std::string& table);

private:
    sqlite3* m_db = nullptr;
};

std::string ResFile(const std::string& name);
// Fresh databases made from the shipped schemas.
void CreateSourceDb(const std::string& path);
void CreateDestinationDb(const std::string& path);
void AddSourceCategory(TestDb& db, const char* categoryId, const char* description);
void AddSourceItem(TestDb& db, const char* itemId, const char* shortDescription,
                   const char* fullDescription, const std::vector<const char*>& categories);
// A glossary of one category, K{1}, and phrases P000001, P000002, ... in it, each with the rich
// text "Phrase N", for runs long enough to watch.
void AddNumberedGlossary(const std::string& sourcePath, int phrases);
// Rows already in a destination, as an earlier run or another program left them.
void AddDestinationCategory(TestDb& db, const char* categoryId, const char* description,
                            const char* strCategoryId = nullptr);
void AddDestinationPhrase(TestDb& db, const char* phraseId, const char* categoryId,
                          const char* data);
