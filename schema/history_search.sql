-- Address search index of the address-bar suggestions. qb_history keeps its text as GB18030
-- bytes, which SQLite's LIKE and tokenizers read as (broken) UTF-8; the index keeps each address
-- as UTF-8 text under the row id of its qb_history row, cut into three-character pieces, so a
-- search can find the rows holding a text without reading every address. The history store adds
-- rows newer than the newest indexed one (it converts the text); the triggers drop rows that leave
-- qb_history, and a changed address drops every indexed row from that one on, so the store
-- indexes them again. The index keeps where each piece stands, so a text is looked up as a whole
-- and not as pieces that may stand anywhere in an address.
CREATE VIRTUAL TABLE qb_history_search USING fts5(site_url, tokenize = 'trigram');

CREATE TRIGGER qb_history_search_delete AFTER DELETE ON qb_history BEGIN
    DELETE FROM qb_history_search WHERE rowid = old.id;
END;

CREATE TRIGGER qb_history_search_update AFTER UPDATE OF site_url ON qb_history BEGIN
    DELETE FROM qb_history_search WHERE rowid >= old.id;
END;
