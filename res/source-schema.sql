-- An empty source glossary database: categories, phrase items and their category relations.
-- Text keys compare without regard to case, as the desktop engine's keys do.
CREATE TABLE tblPhraseCategory (
    Gen_Tag INTEGER,
    s_Generation INTEGER,
    s_GUID TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    s_Lineage BLOB,
    CategoryID TEXT COLLATE NOCASE,
    Description TEXT,
    Parent TEXT COLLATE NOCASE,
    ZOrder INTEGER DEFAULT 0,
    GUID TEXT COLLATE NOCASE,
    Tag TEXT,
    Glossary TEXT,
    RecordID INTEGER,
    ReplicationModified REAL
);
CREATE INDEX tblPhraseCategory_CategoryID ON tblPhraseCategory (CategoryID);

CREATE TABLE tblPhraseItem (
    ItemID TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    ShortDescription TEXT,
    FullDescription TEXT
);

CREATE TABLE tblPhraseRelation (
    ItemID TEXT COLLATE NOCASE NOT NULL,
    CategoryID TEXT COLLATE NOCASE NOT NULL,
    PRIMARY KEY (ItemID, CategoryID)
);
