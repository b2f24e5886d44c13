-- Title search index of the address-bar suggestions, made as the address search index is
-- (history_search.sql): qb_history_title_search indexes, under the id of each qb_history row, the
-- searchable forms of its title as UTF-8, which the program's function quellon_title_keys(title)
-- makes from the row: the title in lower case and, for a title with Chinese characters, their
-- full pinyin and pinyin initials, one form a line. Each form has a column of its own
-- (quellon_title_form(title, n) gives it), so that no piece runs from one form into the next.
-- It keeps no text of its own (content=''),
-- nor positions (detail=none) or text lengths (columnsize=0); every row it hands over is compared
-- again with the forms made from its title. A changed title takes the entries from that row on
-- out, and the store takes those rows in again.
CREATE TABLE IF NOT EXISTS qb_history_indexed (name TEXT PRIMARY KEY, last_id INTEGER NOT NULL);
INSERT OR REPLACE INTO qb_history_indexed (name, last_id) VALUES ('qb_history_title_search', 0);

CREATE VIRTUAL TABLE qb_history_title_search USING fts5(
    keys, pinyin, initials, content = '', tokenize = 'trigram', detail = 'none', columnsize = 0);

CREATE TRIGGER qb_history_title_update AFTER UPDATE OF site_name ON qb_history
WHEN old.id <= (SELECT last_id FROM qb_history_indexed WHERE name = 'qb_history_title_search') BEGIN
    INSERT INTO qb_history_title_search (qb_history_title_search, rowid, keys, pinyin, initials)
        SELECT 'delete', h.id, quellon_title_form(CASE WHEN h.id = old.id THEN old.site_name ELSE h.site_name END, 0),
            quellon_title_form(CASE WHEN h.id = old.id THEN old.site_name ELSE h.site_name END, 1),
            quellon_title_form(CASE WHEN h.id = old.id THEN old.site_name ELSE h.site_name END, 2)
        FROM qb_history h
        WHERE h.id >= old.id AND h.id <= (SELECT last_id FROM qb_history_indexed WHERE name = 'qb_history_title_search');
    UPDATE qb_history_indexed SET last_id = old.id - 1 WHERE name = 'qb_history_title_search';
END;

-- The one- and two-character pieces of the title forms (ASCII letters in lower case) per block of
-- 4096 row ids: a text too short for the trigram index is looked for in the blocks holding it.
CREATE TABLE qb_history_title_pieces (piece TEXT, block INTEGER, PRIMARY KEY (piece, block)) WITHOUT ROWID;
