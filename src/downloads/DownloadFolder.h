// Where the new-download dialog proposes to save, by the user's folder rule.
#pragma once

#include <QString>

class TConfig;

// Folder mode (TConfigKey::DownloadFolderMode) 1: the set folder; 0: the last folder used. A
// folder that does not exist (or is not set) gives the default download folder. The answer ends
// in "/".
QString ProposedDownloadFolder(const TConfig& config);
// The folder part of a full target path, ending in "/" (stored as the last folder used).
QString FolderOfPath(const QString& path);
// The folder text with one "/" at its end; empty stays empty.
QString WithTrailingSlash(const QString& folder);
