-- Demo destination phrase database: a few rows from an earlier conversion and some of its own.
BEGIN;
INSERT INTO tblCategory (CategoryID, Description, ZOrder, strCategoryID) VALUES ('GLS{A100-00}', 'Greetings (old)', 4, '');
INSERT INTO tblCategory (CategoryID, Description, ZOrder, strCategoryID) VALUES ('OWN{77-01}extra', 'Own category', 9, NULL);
INSERT INTO tblPhrase (PhraseID, CategoryID, Mnemonic, Data, ZOrder, PunctuationLeading, PunctuationTrailing) VALUES ('ph001', 'GLS{A100-00}', 'old', 'old text', 3, 1, 1);
INSERT INTO tblPhrase (PhraseID, CategoryID, Mnemonic, Data, ZOrder, PunctuationLeading, PunctuationTrailing) VALUES ('OWN1', 'OWN{77-01}extra', 'own', '{\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset0 MS Sans Serif;}{\f1\fswiss\fcharset0 Arial;}}{\colortbl ;\red0\green0\blue128;}\viewkind4\uc1\pard\plain\f0\fs20 My own phrase.\par }', 1, 1, 1);
INSERT INTO tblPhrase (PhraseID, CategoryID, Mnemonic, Data, ZOrder, PunctuationLeading, PunctuationTrailing) VALUES ('OWN2', '{77-01}', 'own2', 'Already plain9|', 2, 2, 0);
COMMIT;
