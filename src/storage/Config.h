// The user's settings: fourteen numbered keys in qb_config, mirrored in typed fields.
#pragma once

#include <QString>
#include <QtGlobal>

class TDb;

// Key of the "不再提示" answer to the compatibility engine's notice: "1" once the user asked never
// to see it again (read and written with GetValue/SetValue, not mirrored in a field).
constexpr int kEngineNoticeOffKey = 16;
// Keys of the translation server the user runs (an address speaking the LibreTranslate API) and
// of its optional key (read and written with GetValue/SetValue, not mirrored in fields).
constexpr int kTranslateServerKey = 17;
constexpr int kTranslateApiKeyKey = 18;

class TConfig {
public:
    explicit TConfig(TDb& db);

    // The trimmed stored text of a key; empty without a row or when the query fails.
    QString GetValue(int key) const;
    // Writes the text under the key (update or insert); true when the row was written.
    bool SetValue(int key, const QString& text);
    // Fills every typed field from its key (keys 1..8, 12, 9..11, 13, 14 in that order).
    void LoadConfig();

    int SkinIndex = 0;                  // key 1
    quint8 StartMode = 0;               // key 2: 0 offer to restore, 1 home page
    QString HomePage;                   // key 3
    bool FilterPopups = false;          // key 4
    bool BossKeyEnabled = false;        // key 5
    quint16 BossKey = 0;                // key 6: virtual key + 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt
    quint8 DownloadFolderMode = 0;      // key 7: 0 last folder (key 12), 1 chosen folder (key 8)
    QString DownloadFolder;             // key 8
    bool PlayFinishedSound = false;     // key 9
    bool ConfirmDeleteDownload = false; // key 10
    bool DisableShortcuts = false;      // key 11
    QString LastDownloadFolder;         // key 12
    bool MakeDefaultBrowser = false;    // key 13
    bool ClearTracesOnExit = false;     // key 14

private:
    TDb& m_db;
};
