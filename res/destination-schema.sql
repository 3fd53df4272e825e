-- An empty destination phrase database. The PRIMARY KEY of each table is its index PrimaryKey;
-- text keys compare without regard to case, as the desktop engine's keys do.
CREATE TABLE tblCategory (
    CategoryID TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    Description TEXT,
    ZOrder INTEGER DEFAULT 0,
    strCategoryID TEXT COLLATE NOCASE
);

CREATE TABLE tblPhrase (
    PhraseID TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    CategoryID TEXT COLLATE NOCASE,
    Mnemonic TEXT,
    Data TEXT,
    ZOrder INTEGER DEFAULT 0,
    PunctuationLeading INTEGER DEFAULT 1,
    PunctuationTrailing INTEGER DEFAULT 1
);
