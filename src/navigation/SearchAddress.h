// The search box's engines and the address of a search: the engine table and the encoding of the
// typed words. Pure text logic, no widgets.
#pragma once

#include <QString>

enum TSearchEngineIndex : int { seSo360 = 0, seGoogle = 1, seBing = 2, seBaidu = 3, seCount = 4 };

// The words as they go into a search address: UTF-8 bytes, ASCII letters, digits and
// ! $ ' ( ) * - . _ @ unchanged, a blank as "+", every other byte as "%XX" (upper-case hex).
QString EncodeSearchWords(const QString& words);
// The result page of the engine for the words: endpoint + path and query + encoded words.
// Empty for an index outside 0 to 3.
QString SearchEngineAddress(int engine, const QString& words);
// The caption of the engine in the engine menu ("360搜索", "Google", "Bing", "百度"); empty outside 0..3.
QString SearchEngineCaption(int engine);
