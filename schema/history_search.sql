-- Address search index of the address-bar suggestions. qb_history keeps its text as GB18030
-- bytes, which SQLite's LIKE and tokenizers read as (broken) UTF-8. qb_history_text holds a row
-- under the id of each qb_history row: a UTF-8 copy of an address with other than ASCII
-- characters, NULL for an address of ASCII characters only (the same bytes in both encodings: the
-- row's own address is its text). qb_history_search indexes that text in three-character pieces,
-- so a search finds the rows holding a text without reading every address. The pieces are kept
-- without their positions (detail=none, a fraction of the size): the index hands over the rows
-- holding every piece of a text, and each is compared again as a whole. Nor are text lengths
-- kept (columnsize=0): nothing ranks by them. The index is only written and queried with the text
-- given (never 'rebuild'), as its content table holds no text for most rows.
-- The history store writes both: it copies rows newer than the newest copied one (it converts the
-- text), and removes copies with the rows it deletes. A row deleted by anyone else leaves a copy
-- that no longer joins a qb_history row (ids are never reused), so it is never found. A changed
-- address drops every copy from that row on, and the store copies those rows again.
CREATE TABLE qb_history_text (
    id INTEGER PRIMARY KEY,
    site_url TEXT
);

CREATE VIRTUAL TABLE qb_history_search USING fts5(
    site_url, content = 'qb_history_text', content_rowid = 'id', tokenize = 'trigram', detail = 'none',
    columnsize = 0);

CREATE TRIGGER qb_history_search_update AFTER UPDATE OF site_url ON qb_history BEGIN
    INSERT INTO qb_history_search (qb_history_search, rowid, site_url)
        SELECT 'delete', t.id, COALESCE(t.site_url, CASE WHEN t.id = old.id THEN old.site_url ELSE h.site_url END)
        FROM qb_history_text t LEFT JOIN qb_history h ON h.id = t.id WHERE t.id >= old.id;
    DELETE FROM qb_history_text WHERE id >= old.id;
END;

-- The one- and two-character pieces of the address copies (ASCII letters in lower case) per block of
-- 4096 row ids: a text too short for the trigram index is looked for in the blocks holding it.
CREATE TABLE qb_history_search_pieces (piece TEXT, block INTEGER, PRIMARY KEY (piece, block)) WITHOUT ROWID;
