// The user's settings: the numbered keys of qb_config, the first fourteen mirrored in typed fields.
#pragma once

#include <QString>
#include <QtGlobal>

class TDb;

// The numbered keys of qb_config, named by what they hold. Keys 1..14 are mirrored in the typed
// fields of TConfig; the later keys are read and written with GetValue/SetValue only.
enum class TConfigKey : int {
    Skin = 1,                  // skin index
    StartMode = 2,             // 0 offer to restore, 1 home page
    HomePage = 3,
    FilterPopups = 4,
    BossKeyEnabled = 5,
    BossKey = 6,               // virtual key + 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt
    DownloadFolderMode = 7,    // 0 last folder (LastDownloadFolder), 1 chosen folder (DownloadFolder)
    DownloadFolder = 8,
    PlayFinishedSound = 9,
    ConfirmDeleteDownload = 10,
    DisableShortcuts = 11,
    LastDownloadFolder = 12,
    MakeDefaultBrowser = 13,
    ClearTracesOnExit = 14,
    CleanKinds = 15,           // the kinds of traces ticked in the clear-cache window
    EngineNoticeOff = 16,      // "1" once the user asked never to see the compatibility notice again
    TranslateServer = 17,      // the user's translation server (an address speaking the LibreTranslate API)
    TranslateApiKey = 18,      // that server's optional key
    TabSleepMinutes = 19,      // minutes a background tab stays loaded out of sight; 0 = always (default 30)
};

class TConfig {
public:
    explicit TConfig(TDb& db);

    // The trimmed stored text of a key; empty without a row or when the query fails.
    QString GetValue(TConfigKey key) const;
    // Writes the text under the key (update or insert); true when the row was written.
    bool SetValue(TConfigKey key, const QString& text);
    // Fills every typed field from its key.
    void LoadConfig();

    int SkinIndex = 0;
    quint8 StartMode = 0; // 0 offer to restore, 1 home page
    QString HomePage;
    bool FilterPopups = false;
    bool BossKeyEnabled = false;
    quint16 BossKey = 0; // virtual key + 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt
    quint8 DownloadFolderMode = 0; // 0 last folder, 1 chosen folder
    QString DownloadFolder;
    bool PlayFinishedSound = false;
    bool ConfirmDeleteDownload = false;
    bool DisableShortcuts = false;
    QString LastDownloadFolder;
    bool MakeDefaultBrowser = false;
    bool ClearTracesOnExit = false;

private:
    TDb& m_db;
};
