-- The data file's tables. Declared types are part of the file format: the reader decides a column's
-- kind by its exact declared type ("INTEGER" is read as a number, "TEXT" as text).
CREATE TABLE qb_fav (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    fav_name TEXT,
    fav_url TEXT,
    ranking INTEGER DEFAULT 0
);
CREATE INDEX idx_fav_url ON qb_fav (fav_url);
CREATE INDEX idx_fav_ranking ON qb_fav (ranking, id);

CREATE TABLE qb_history (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    site_name TEXT,
    site_url TEXT,
    create_time INTEGER,
    isclose INTEGER DEFAULT 0
);
CREATE INDEX idx_history_url_time ON qb_history (site_url, create_time);
CREATE INDEX idx_history_time ON qb_history (create_time);
CREATE INDEX idx_history_closed ON qb_history (isclose, id);

CREATE TABLE qb_page_log (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    url TEXT
);

CREATE TABLE qb_config (
    cfg_key INTEGER PRIMARY KEY,
    cfg_value TEXT
);

CREATE TABLE qb_download (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    file_name TEXT,
    url TEXT UNIQUE,
    position INTEGER DEFAULT 0,
    total_size INTEGER DEFAULT 0,
    finished INTEGER DEFAULT 0,
    create_time INTEGER
);

CREATE TABLE qb_domain_kernel (
    domain TEXT PRIMARY KEY,
    kernel INTEGER DEFAULT 0
);
