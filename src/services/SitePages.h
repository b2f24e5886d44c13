// Addresses of the vendor's site pages. The site root is either the vendor's web site, whose
// pages are used as they stand, or the bundled offline site (a folder of static files shipped with
// the program), whose dynamic page addresses map to the files that stand in for them.
#pragma once

#include <QString>

namespace SitePages {
inline constexpr const char* NetBank = "/home/index.php?s=/NetBank/index";
inline constexpr const char* Courier = "/home/index.php?s=/Courier/index/category/";
inline constexpr const char* Software = "/home/index.php?s=/Software/index";
inline constexpr const char* SoftwareSubmit = "/home/index.php?s=/Software/Submit";
inline constexpr const char* Tieba = "/tieba.html";
} // namespace SitePages

// The address of the page at path (starting with "/"; "" or "/" is the site itself) under
// siteRoot (ending in "/"). Under a site root that is a local folder:
//   "" or "/"                               -> index.html
//   "/home/index.php?s=/Module/index"       -> module.html
//   "/home/index.php?s=/Module/Action"      -> module-action.html
//   "/home/index.php?s=/Module/index/a/b"   -> module.html#a/b (the rest becomes the fragment)
// and any other path is the file it names.
QString SitePageUrl(const QString& siteRoot, const QString& path);

// The vendor's web API root: the environment variable QUELLON_API_ROOT when set (tests point it
// at a local server), else the build's setting; empty when no service is configured.
QString ApiRoot();
