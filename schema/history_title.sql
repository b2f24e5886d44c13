-- Title search index of the address-bar suggestions. qb_history_title keeps, under the id of each
-- qb_history row, the searchable forms of its title as UTF-8: the title in lower case and, for a
-- title with Chinese characters, their full pinyin and pinyin initials, one form a line; NULL for
-- a title of ASCII characters only, whose one form is the row's own title in lower case (the same
-- bytes in GB18030 and UTF-8). The index is written and queried with the forms given, never
-- rebuilt from its content table.
-- qb_history_title_search indexes them in three-character pieces without positions (detail=none:
-- a fraction of the size; the text is compared again on every row it hands over) and without
-- text lengths (columnsize=0).
-- The history store writes both as it writes the address copies, and removes them with the rows.
-- A changed title drops every copy from that row on, and the store copies those rows again.
CREATE TABLE qb_history_title (
    id INTEGER PRIMARY KEY,
    keys TEXT
);

CREATE VIRTUAL TABLE qb_history_title_search USING fts5(
    keys, content = 'qb_history_title', content_rowid = 'id', tokenize = 'trigram', detail = 'none',
    columnsize = 0);

CREATE TRIGGER qb_history_title_update AFTER UPDATE OF site_name ON qb_history BEGIN
    INSERT INTO qb_history_title_search (qb_history_title_search, rowid, keys)
        SELECT 'delete', t.id, COALESCE(t.keys, lower(CASE WHEN t.id = old.id THEN old.site_name ELSE h.site_name END))
        FROM qb_history_title t LEFT JOIN qb_history h ON h.id = t.id WHERE t.id >= old.id;
    DELETE FROM qb_history_title WHERE id >= old.id;
END;

-- The one- and two-character pieces of the title forms (ASCII letters in lower case) per block of
-- 4096 row ids: a text too short for the trigram index is looked for in the blocks holding it.
CREATE TABLE qb_history_title_pieces (piece TEXT, block INTEGER, PRIMARY KEY (piece, block)) WITHOUT ROWID;
