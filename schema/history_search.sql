-- Address search index of the address-bar suggestions. qb_history keeps its text as GB18030
-- bytes, which SQLite's LIKE and tokenizers read as (broken) UTF-8: the program's connections
-- have the function quellon_utf8(text), which gives the text as UTF-8 (ASCII text is the same
-- bytes in both). qb_history_search indexes the UTF-8 address of each qb_history row under its id
-- in three-character pieces, so a search finds the rows holding a text without reading every
-- address; a leading "http://" or "https://" and "www." are left out (quellon_url_key gives the
-- rest): a search asks the index only for what a match holds outside them. It keeps no text of its own (content=''): a row it hands over is compared again with
-- its address, and an entry is taken out with the text it was made from, which the function makes
-- again from the row. The pieces are kept without their positions (detail=none, a fraction of the
-- size), nor are text lengths kept (columnsize=0): nothing ranks by them.
-- qb_history_indexed holds the newest row id the index has taken in. The history store takes in
-- the rows past it, and takes out the entries of the rows it deletes. A row deleted by anyone else
-- leaves entries that no longer join a qb_history row (ids are never reused), so it is never
-- found. A changed address takes the entries from that row on out, and the store takes those rows
-- in again.
CREATE TABLE IF NOT EXISTS qb_history_indexed (name TEXT PRIMARY KEY, last_id INTEGER NOT NULL);
INSERT OR REPLACE INTO qb_history_indexed (name, last_id) VALUES ('qb_history_search', 0);

CREATE VIRTUAL TABLE qb_history_search USING fts5(
    site_url, content = '', tokenize = 'trigram', detail = 'none', columnsize = 0);

CREATE TRIGGER qb_history_search_update AFTER UPDATE OF site_url ON qb_history
WHEN old.id <= (SELECT last_id FROM qb_history_indexed WHERE name = 'qb_history_search') BEGIN
    INSERT INTO qb_history_search (qb_history_search, rowid, site_url)
        SELECT 'delete', h.id, quellon_url_key(CASE WHEN h.id = old.id THEN old.site_url ELSE h.site_url END)
        FROM qb_history h
        WHERE h.id >= old.id AND h.id <= (SELECT last_id FROM qb_history_indexed WHERE name = 'qb_history_search');
    UPDATE qb_history_indexed SET last_id = old.id - 1 WHERE name = 'qb_history_search';
END;

-- The one- and two-character pieces of the addresses (ASCII letters in lower case) per block of
-- 4096 row ids: a text too short for the trigram index is looked for in the blocks holding it.
CREATE TABLE qb_history_search_pieces (piece TEXT, block INTEGER, PRIMARY KEY (piece, block)) WITHOUT ROWID;
